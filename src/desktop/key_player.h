// `pdv --play FILE`: plays a key script against the application's real
// windows, then ends the application. One action a line:
//   key SEQ        a key in Qt's portable text (F5, Alt+F5, Ctrl+F2, Shift+N,
//                  Return, Escape, Tab), sent to the focused widget of the
//                  active window, modal dialogs and message boxes included;
//                  shortcuts and "&" accelerators fire as from a keyboard
//   text STRING    types STRING into the focused widget (the rest of the line)
//   wait MS        waits MS milliseconds
//   expect TEXT    some visible window or widget shows TEXT (title, label,
//                  button, field, list or table cell, status bar) within 5 s
//   shot FILE.png  writes a picture of the active window (relative to the
//                  current folder)
// Blank lines and lines starting with "#" are skipped. A line the player does
// not know ends the application at once with status 2 naming the line; an
// expect not met ends it with status 1 naming the line; the end of the
// script ends it with status 0. Actions run from a timer, so they go on
// while a modal dialog holds its own event loop.
#pragma once

#include <QObject>
#include <QString>
#include <optional>
#include <string>
#include <vector>

class QTimer;
class QWidget;

namespace fvn::desktop {

struct KeyAction {
  enum Kind { Key, Text, Wait, Expect, Shot };
  Kind kind = Key;
  QString argument;
  int line = 0;
};

// Parses a script; std::nullopt with `error` ("FILE:LINE: ...") on the first bad line.
std::optional<std::vector<KeyAction>> parse_key_script(const QString& text, const QString& name, QString& error);

class KeyPlayer final : public QObject {
 public:
  KeyPlayer(std::vector<KeyAction> actions, QString name, QObject* parent = nullptr);
  // Starts playing once the event loop runs.
  void start();
  // The exit status once the script ended (0, 1 or 2).
  [[nodiscard]] std::optional<int> result() const { return result_; }

  // The widget keys go to: the focus widget of the active modal dialog, else
  // of the active window (else of the first visible window).
  static QWidget* key_target();
  // The window a shot pictures.
  static QWidget* active_window();
  // True when some visible window or widget shows `text`.
  static bool shows(const QString& text);

 private:
  void step();
  void finish(int status, const QString& message = {});
  void schedule(int ms);

  std::vector<KeyAction> actions_;
  QString name_;
  std::size_t next_ = 0;
  qint64 expect_deadline_ = 0;
  std::optional<int> result_;
  QTimer* timer_;
};

}  // namespace fvn::desktop
