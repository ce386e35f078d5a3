// SPDX-License-Identifier: GPL-3.0-or-later
// The --json form of info, analyze, check and quality: parsed as JSON (by a
// strict reader below, so output a real parser would refuse fails here too)
// and compared with the database and with the Chinese text form.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "cli/cli_runner.h"
#include "support/temp_dir.h"
#include "support/test_db.h"

namespace orv {
namespace {

struct Json;
using JsonObject = std::map<std::string, Json>;
using JsonArray = std::vector<Json>;
struct Json {
  std::variant<std::nullptr_t, bool, long long, std::string, std::shared_ptr<JsonArray>,
               std::shared_ptr<JsonObject>>
      v;
  bool IsNull() const { return std::holds_alternative<std::nullptr_t>(v); }
  long long Int() const { return std::get<long long>(v); }
  const std::string& Str() const { return std::get<std::string>(v); }
  const JsonArray& Arr() const { return *std::get<std::shared_ptr<JsonArray>>(v); }
  const Json& operator[](const std::string& key) const {
    return std::get<std::shared_ptr<JsonObject>>(v)->at(key);
  }
  size_t Keys() const { return std::get<std::shared_ptr<JsonObject>>(v)->size(); }
};

// Objects, arrays, strings with every JSON escape (\u as one BMP character in
// UTF-8), whole numbers, true, false and null; anything else throws.
class Reader {
 public:
  explicit Reader(std::string text) : s_(std::move(text)) {}
  Json Document() {
    Json value = Value();
    Skip();
    if (i_ != s_.size()) throw std::runtime_error("text after the value at " + std::to_string(i_));
    return value;
  }

 private:
  void Skip() {
    while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\n' || s_[i_] == '\t' || s_[i_] == '\r')) ++i_;
  }
  void Expect(char c) {
    Skip();
    if (i_ >= s_.size() || s_[i_] != c)
      throw std::runtime_error(std::string("expected ") + c + " at " + std::to_string(i_));
    ++i_;
  }
  bool Word(const char* w) {
    if (s_.compare(i_, std::strlen(w), w) != 0) return false;
    i_ += std::strlen(w);
    return true;
  }
  Json Value() {
    Skip();
    if (i_ >= s_.size()) throw std::runtime_error("no value");
    const char c = s_[i_];
    if (c == '{') {
      auto object = std::make_shared<JsonObject>();
      ++i_;
      Skip();
      if (s_[i_] == '}') return {(++i_, object)};
      do {
        Skip();
        std::string key = String();
        Expect(':');
        if (!object->emplace(key, Value()).second) throw std::runtime_error("key twice: " + key);
        Skip();
      } while (s_[i_] == ',' && ++i_);
      Expect('}');
      return {object};
    }
    if (c == '[') {
      auto array = std::make_shared<JsonArray>();
      ++i_;
      Skip();
      if (s_[i_] == ']') return {(++i_, array)};
      do array->push_back(Value());
      while ((Skip(), s_[i_] == ',') && ++i_);
      Expect(']');
      return {array};
    }
    if (c == '"') return {String()};
    if (Word("true")) return {true};
    if (Word("false")) return {false};
    if (Word("null")) return {nullptr};
    size_t used = 0;
    const long long n = std::stoll(s_.substr(i_), &used);
    i_ += used;
    return {n};
  }
  std::string String() {
    if (s_[i_] != '"') throw std::runtime_error("expected a string at " + std::to_string(i_));
    std::string out;
    for (++i_; s_.at(i_) != '"'; ++i_) {
      const auto c = static_cast<unsigned char>(s_[i_]);
      if (c < 0x20) throw std::runtime_error("raw control character in a string");
      if (c != '\\') {
        out += s_[i_];
        continue;
      }
      const char e = s_.at(++i_);
      const std::map<char, char> simple{{'"', '"'},  {'\\', '\\'}, {'/', '/'},  {'b', '\b'},
                                        {'f', '\f'}, {'n', '\n'},  {'r', '\r'}, {'t', '\t'}};
      if (simple.count(e)) {
        out += simple.at(e);
      } else if (e == 'u') {
        const unsigned u = std::stoul(s_.substr(i_ + 1, 4), nullptr, 16);
        i_ += 4;
        if (u < 0x80) {
          out += char(u);
        } else if (u < 0x800) {
          out += char(0xC0 | (u >> 6)), out += char(0x80 | (u & 0x3F));
        } else {
          out += char(0xE0 | (u >> 12)), out += char(0x80 | ((u >> 6) & 0x3F)),
              out += char(0x80 | (u & 0x3F));
        }
      } else {
        throw std::runtime_error("bad escape");
      }
    }
    ++i_;
    return out;
  }
  std::string s_;
  size_t i_ = 0;
};

// The run's stdout as one JSON document on one line; a failure when it is not.
Json Parse(const test::CliRun& run) {
  EXPECT_EQ(run.out.find('\n'), run.out.size() - 1) << "one line: " << run.out;
  try {
    return Reader(run.out).Document();
  } catch (const std::exception& e) {
    ADD_FAILURE() << e.what() << "\n" << run.out;
    return {};
  }
}

class JsonCli : public ::testing::Test {
 protected:
  test::CliRun Run(std::vector<std::string> args) {
    args.insert(args.begin(), {"--program-dir", dir.Path().string()});
    return test::RunCli(args);
  }
  long long Count(const std::string& sql) { return test::OpenDb(db)->FirstInt(sql).value_or(-1); }

  test::TempDir dir;
  std::string db = (dir / "kb.mdb").string();
};

TEST_F(JsonCli, AnEmptyDatabaseIsCountedAsEmptyAndAnalyzedAsBlocked) {
  ASSERT_EQ(Run({"init", db}).exitCode, 0);
  auto run = Run({"info", db, "--json"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const Json info = Parse(run);
  for (const char* key : {"classes", "courses", "teachers", "classrooms", "planRows", "plannedLessons",
                          "placedLessons", "lessons"})
    EXPECT_EQ(info[key].Int(), 0) << key;

  run = Run({"analyze", db});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out.find("错误：没有班级："), 0u) << run.out;
  EXPECT_NE(run.out.find("错误：教学计划为空："), std::string::npos) << run.out;
  EXPECT_EQ(test::LastLine(run.out), "错误 4 个，警告 0 个");

  run = Run({"analyze", db, "--json"});
  EXPECT_EQ(run.exitCode, 1) << "the same status as the text form";
  const Json analysis = Parse(run);
  EXPECT_EQ(analysis["blocking"].Int(), 4);
  EXPECT_EQ(analysis["warnings"].Int(), 0);
  std::string kinds;
  for (const Json& f : analysis["findings"].Arr()) {
    kinds += f["kind"].Str() + " ";
    EXPECT_EQ(f["severity"].Str(), "blocking");
    EXPECT_TRUE(f["class"].IsNull() && f["course"].IsNull() && f["teacher"].IsNull());
    EXPECT_EQ(f["text"].Str().rfind("没", 0) == 0 || f["text"].Str().rfind("教学计划为空", 0) == 0, true)
        << f["text"].Str();
  }
  EXPECT_EQ(kinds, "no-classes no-courses no-teachers empty-plan ");
}

TEST_F(JsonCli, InfoAndQualityAgreeWithTheDatabaseAndTheText) {
  ASSERT_EQ(Run({"demo", db, "--grades", "1-2"}).exitCode, 0);
  ASSERT_EQ(Run({"generate", db, "--complete", "--no-optimize"}).exitCode, 0);
  const Json info = Parse(Run({"info", db, "--json"}));
  EXPECT_EQ(info.Keys(), 8u);
  EXPECT_EQ(info["classes"].Int(), Count("select count(*) from Classtb"));
  EXPECT_EQ(info["teachers"].Int(), Count("select count(*) from Teachertb"));
  EXPECT_EQ(info["planRows"].Int(), Count("select count(*) from ClassPlantb"));
  EXPECT_EQ(info["plannedLessons"].Int(), Count("select sum(Count) from ClassPlantb"));
  EXPECT_EQ(info["lessons"].Int(), Count("select count(*) from LessonListtb"));
  EXPECT_EQ(Run({"info", db}).out.find("班级：" + std::to_string(info["classes"].Int()) + "\n"), 0u);

  const Json quality = Parse(Run({"quality", db, "--json"}));
  const std::string text = Run({"quality", db}).out;
  EXPECT_EQ(quality["lessons"].Int(), info["lessons"].Int());
  EXPECT_EQ(test::LastLine(text), "评分：" + std::to_string(quality["score"].Int()));
  EXPECT_NE(text.find("空闲最多的教师：" + quality["mostIdleTeacher"].Str() + "（" +
                      std::to_string(quality["mostIdleTeacherPeriods"].Int()) + "）\n"),
            std::string::npos)
      << text;
}

// A clash planted in the timetable: check names its class, day and lesson
// in both forms, with the same exit status; a name holding a quote, a
// backslash and a tab comes back from the JSON exactly as stored.
TEST_F(JsonCli, CheckAndAnalyzeFindingsCarryTheirCodesAndTextExactly) {
  ASSERT_EQ(Run({"demo", db, "--grades", "1-1", "--classes-per-grade", "2"}).exitCode, 0);
  ASSERT_EQ(Run({"generate", db, "--complete", "--no-optimize"}).exitCode, 0);
  const std::string odd = "王\"伟\\\t";
  {
    auto t = test::OpenDb(db);
    t->Execute("update Teachertb set Name=? where Code in (select Code from Teachertb order by Code limit 2)",
               odd);
    t->Execute(
        "insert into LessonListtb select '12',Day,LessonNo,CourseCode,TeacherCode,2 from LessonListtb "
        "where ClassCode='11' and Day=3 and LessonNo=2");
  }
  auto run = Run({"check", db, "--json"});
  EXPECT_EQ(run.exitCode, 1);
  const Json check = Parse(run);
  EXPECT_EQ(check["violations"].Int(),
            static_cast<long long>(check["findings"].Arr().size()) - check["warnings"].Int());
  bool clash = false;
  for (const Json& f : check["findings"].Arr()) {
    if (f["kind"].Str() != "class-double-booked") continue;
    clash = true;
    EXPECT_EQ(f["severity"].Str(), "violation");
    EXPECT_EQ(f["class"].Str(), "12");
    EXPECT_EQ(f["day"].Int(), 3);
    EXPECT_EQ(f["lesson"].Int(), 2);
    EXPECT_EQ(f["classes"].Arr().front().Str(), "12");
  }
  EXPECT_TRUE(clash) << run.out;
  const std::string text = Run({"check", db}).out;
  EXPECT_EQ(test::LastLine(text), "违规 " + std::to_string(check["violations"].Int()) + " 处，警告 " +
                                      std::to_string(check["warnings"].Int()) + " 处");

  run = Run({"analyze", db, "--json"});
  EXPECT_EQ(run.exitCode, 0) << "a shared name only warns";
  const Json analysis = Parse(run);
  ASSERT_EQ(analysis["findings"].Arr().size(), 1u) << run.out;
  const Json& shared = analysis["findings"].Arr().front();
  EXPECT_EQ(shared["kind"].Str(), "shared-name");
  EXPECT_EQ(shared["severity"].Str(), "warning");
  EXPECT_NE(shared["text"].Str().find("同名“" + odd + "”"), std::string::npos) << shared["text"].Str();
}

TEST_F(JsonCli, ADatabaseThatCannotBeReadPrintsNoJsonAndKeepsItsStatus) {
  const std::string missing = (dir / "missing.mdb").string();
  for (const char* command : {"info", "analyze", "check", "quality"}) {
    const auto run = Run({command, missing, "--json"});
    EXPECT_EQ(run.exitCode, std::string(command) == "info" ? 1 : 3) << command;
    EXPECT_TRUE(run.out.empty()) << command << ": " << run.out;
    EXPECT_NE(run.err.find(missing), std::string::npos) << run.err;
  }
}

}  // namespace
}  // namespace orv
