#include "desktop/key_player.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QDateTime>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <cstdio>

namespace fvn::desktop {

namespace {

constexpr int kExpectMs = 5000;
constexpr int kPollMs = 25;
// After a key, the time its effects take: buttons answer an accelerator
// with an animated click of 100 ms.
constexpr int kKeySettleMs = 150;

QString without_accelerators(QString text) {
  text.replace("&&", QString(QChar(0x1)));
  text.remove('&');
  text.replace(QString(QChar(0x1)), "&");
  return text;
}

bool model_shows(const QAbstractItemModel* model, const QString& text) {
  if (model == nullptr) return false;
  const int rows = std::min(model->rowCount(), 2000);
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < model->columnCount(); ++c) {
      if (model->data(model->index(r, c)).toString().contains(text)) return true;
    }
  }
  for (int c = 0; c < model->columnCount(); ++c) {
    if (model->headerData(c, Qt::Horizontal).toString().contains(text)) return true;
  }
  return false;
}

bool widget_shows(QWidget* widget, const QString& text) {
  if (auto* label = qobject_cast<QLabel*>(widget)) return without_accelerators(label->text()).contains(text);
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) return without_accelerators(button->text()).contains(text);
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    return edit->echoMode() == QLineEdit::Normal && edit->text().contains(text);
  }
  if (auto* view = qobject_cast<QAbstractItemView*>(widget)) return model_shows(view->model(), text);
  if (auto* bar = qobject_cast<QStatusBar*>(widget)) return bar->currentMessage().contains(text);
  if (auto* group = qobject_cast<QGroupBox*>(widget)) return without_accelerators(group->title()).contains(text);
  return false;
}

}  // namespace

std::optional<std::vector<KeyAction>> parse_key_script(const QString& text, const QString& name, QString& error) {
  std::vector<KeyAction> actions;
  const QStringList lines = text.split('\n');
  for (qsizetype i = 0; i < lines.size(); ++i) {
    const int number = static_cast<int>(i) + 1;
    const QString line = lines[i].trimmed();
    if (line.isEmpty() || line.startsWith('#')) continue;
    const qsizetype space = line.indexOf(' ');
    const QString verb = space < 0 ? line : line.left(space);
    const QString argument = space < 0 ? QString() : line.mid(space + 1).trimmed();
    const auto fail = [&](const QString& why) {
      error = QStringLiteral("%1:%2: %3").arg(name).arg(number).arg(why);
      return std::nullopt;
    };
    KeyAction action;
    action.line = number;
    action.argument = argument;
    if (verb == "key") {
      action.kind = KeyAction::Key;
      const QKeySequence sequence = QKeySequence::fromString(argument, QKeySequence::PortableText);
      if (argument.isEmpty() || sequence.count() != 1 || sequence[0].key() == Qt::Key_unknown) {
        return fail(QStringLiteral("key: not a key: \"%1\"").arg(argument));
      }
    } else if (verb == "text") {
      action.kind = KeyAction::Text;
      action.argument = space < 0 ? QString() : lines[i].mid(lines[i].indexOf(' ') + 1);
      if (action.argument.endsWith('\r')) action.argument.chop(1);
    } else if (verb == "wait") {
      action.kind = KeyAction::Wait;
      bool ok = false;
      const int ms = argument.toInt(&ok);
      if (!ok || ms < 0) return fail(QStringLiteral("wait: not a number of milliseconds: \"%1\"").arg(argument));
    } else if (verb == "expect") {
      action.kind = KeyAction::Expect;
      if (argument.isEmpty()) return fail(QStringLiteral("expect: no text"));
    } else if (verb == "shot") {
      action.kind = KeyAction::Shot;
      if (argument.isEmpty()) return fail(QStringLiteral("shot: no file"));
    } else {
      return fail(QStringLiteral("unknown action \"%1\"").arg(verb));
    }
    actions.push_back(action);
  }
  return actions;
}

KeyPlayer::KeyPlayer(std::vector<KeyAction> actions, QString name, QObject* parent)
    : QObject(parent), actions_(std::move(actions)), name_(std::move(name)), timer_(new QTimer(this)) {
  timer_->setSingleShot(true);
  connect(timer_, &QTimer::timeout, this, [this] { step(); });
}

void KeyPlayer::start() { schedule(0); }

void KeyPlayer::schedule(int ms) { timer_->start(ms); }

QWidget* KeyPlayer::key_target() {
  // A modal dialog just opened may not be active yet (activation arrives
  // later from the window system): its keys must not reach the window below.
  QWidget* window = active_window();
  if (window == nullptr) return nullptr;
  QWidget* focus = QApplication::focusWidget();
  if (focus != nullptr && focus->window() == window) return focus;
  if (QWidget* inner = window->focusWidget()) return inner;
  return window;
}

QWidget* KeyPlayer::active_window() {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  if (QWidget* active = QApplication::activeWindow()) return active;
  if (QWidget* focus = QApplication::focusWidget()) return focus->window();
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (top->isVisible()) return top;
  }
  return nullptr;
}

bool KeyPlayer::shows(const QString& text) {
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (!top->isVisible()) continue;
    if (top->windowTitle().contains(text)) return true;
    if (widget_shows(top, text)) return true;
    for (QWidget* child : top->findChildren<QWidget*>()) {
      if (child->isVisible() && widget_shows(child, text)) return true;
    }
  }
  return false;
}

void KeyPlayer::finish(int status, const QString& message) {
  if (!message.isEmpty()) std::fprintf(stderr, "pdv: %s\n", message.toUtf8().constData());
  result_ = status;
  timer_->stop();
  QCoreApplication::exit(status);
}

void KeyPlayer::step() {
  if (result_) return;
  if (next_ >= actions_.size()) {
    finish(0);
    return;
  }
  const KeyAction& action = actions_[next_];
  const QString where = QStringLiteral("%1:%2").arg(name_).arg(action.line);
  switch (action.kind) {
    case KeyAction::Wait:
      ++next_;
      schedule(action.argument.toInt());
      return;
    case KeyAction::Expect: {
      const qint64 now = QDateTime::currentMSecsSinceEpoch();
      if (expect_deadline_ == 0) expect_deadline_ = now + kExpectMs;
      if (shows(action.argument)) {
        expect_deadline_ = 0;
        ++next_;
        schedule(0);
      } else if (now >= expect_deadline_) {
        finish(1, QStringLiteral("%1: expect: \"%2\" not shown within 5 s").arg(where, action.argument));
      } else {
        schedule(kPollMs);
      }
      return;
    }
    case KeyAction::Shot: {
      QWidget* window = active_window();
      if (window == nullptr || !window->grab().save(action.argument, "PNG")) {
        finish(1, QStringLiteral("%1: shot: cannot write %2").arg(where, action.argument));
        return;
      }
      ++next_;
      schedule(0);
      return;
    }
    case KeyAction::Key:
    case KeyAction::Text: break;
  }
  // Keys may open a modal dialog whose event loop runs until it closes: the
  // player goes on from its timer inside that loop, so it is scheduled
  // before the key is delivered.
  ++next_;
  schedule(kKeySettleMs);
  QWidget* target = key_target();
  if (target == nullptr) {
    finish(1, QStringLiteral("%1: no window to send keys to").arg(where));
    return;
  }
  // Shortcuts answer only in the active window; after a dialog closes the
  // window system may not have given the activation back yet.
  if (!target->window()->isActiveWindow()) {
    target->window()->activateWindow();
    QCoreApplication::processEvents();
  }
  if (action.kind == KeyAction::Text) {
    QTest::keyClicks(target, action.argument);
  } else {
    const QKeyCombination combination = QKeySequence::fromString(action.argument, QKeySequence::PortableText)[0];
    QTest::keyClick(target, combination.key(), combination.keyboardModifiers());
  }
}

}  // namespace fvn::desktop
