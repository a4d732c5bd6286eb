// The one QApplication of a desktop test program, on the offscreen platform.
#pragma once

#include <QApplication>

namespace fvn::desktop {

inline void ensure_application() {
  static QApplication* application = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "desktop_tests";
    static char* argv[] = {name, nullptr};
    return new QApplication(argc, argv);
  }();
  (void)application;
}

}  // namespace fvn::desktop
