// SPDX-License-Identifier: GPL-3.0-or-later
// Controls found by their object names and pressed the way a user presses them.
#pragma once

#include <QAbstractButton>
#include <QTest>
#include <stdexcept>
#include <string>

namespace orv::test {

template <class T>
T* Child(const QObject& window, const QString& name) {
  T* w = window.findChild<T*>(name);
  if (w == nullptr) throw std::runtime_error("no control " + name.toStdString());
  return w;
}

inline void Click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
inline void Press(const QObject& window, const QString& button) {
  Click(Child<QAbstractButton>(window, button));
}

}  // namespace orv::test
