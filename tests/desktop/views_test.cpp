// The Qt views on a real widget tree, offscreen: message boxes, the pick
// list, the number window, the operation window and the log-in window, answered with key
// presses as a cashier would; and the key-script parser.
#include <QApplication>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include <gtest/gtest.h>

#include "desktop/autorizacao_view.h"
#include "desktop/key_player.h"
#include "desktop/login_view.h"
#include "desktop/offscreen_application.h"
#include "desktop/qt_host_ui.h"
#include "support/db_fixture.h"
#include "support/fontconfig_leaks.h"
#include "support/temp_folder.h"

namespace fvn::desktop {
namespace {

// Once a modal dialog is up, runs `inspect` on it and sends it `keys`
// (portable key texts), one after the other.
void answer(const QStringList& keys, const std::function<void(QWidget*)>& inspect = {}) {
  QTimer::singleShot(50, [keys, inspect] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    if (inspect) inspect(dialog);
    for (const QString& key : keys) {
      const QKeyCombination k = QKeySequence::fromString(key, QKeySequence::PortableText)[0];
      QTest::keyClick(KeyPlayer::key_target(), k.key(), k.keyboardModifiers());
      QTest::qWait(150);  // accelerators click after an animation
    }
  });
}

class ViewsTest : public ::testing::Test {
 protected:
  void SetUp() override { ensure_application(); }
  QtHostUi ui;
};

TEST_F(ViewsTest, MessageBoxShowsTheSystemsTextsAndAnswersTheKeyboard) {
  QString shown;
  QStringList captions;
  answer({"Return"}, [&](QWidget* dialog) {
    auto* box = qobject_cast<QMessageBox*>(dialog);
    ASSERT_NE(box, nullptr);
    shown = box->windowTitle() + "/" + box->text();
    for (auto* button : box->buttons()) captions << button->text();
  });
  EXPECT_EQ(ui.message("Confirma?|Segunda linha", "Atenção", MessageIcon::Question, "&Sim|&Não", 1), 1);
  EXPECT_EQ(shown, "Atenção/Confirma?\nSegunda linha");
  EXPECT_EQ(captions, (QStringList{"&Sim", "&Não"}));

  answer({"Escape"});  // Esc answers the last button
  EXPECT_EQ(ui.message("Confirma?", "Atenção", MessageIcon::Question, "&Sim|&Não", 1), 2);
  answer({"Alt+N"});  // the accelerator
  EXPECT_EQ(ui.message("Confirma?", "Atenção", MessageIcon::Question, "&Sim|&Não", 1), 2);
  answer({"Return"});  // Enter takes the default button
  EXPECT_EQ(ui.message("Confirma?", "Atenção", MessageIcon::Question, "&Sim|&Não|&Cancelar", 2), 2);
  answer({"Escape"});
  EXPECT_EQ(ui.message("Só ok", "Aviso do sistema"), 1);
}

TEST_F(ViewsTest, PickListWithASearchShowsItsRowsAndAnswersAPositionInThem) {
  std::vector<std::string> texts;
  PickListRequest names{"Clientes", {"Código", "Nome"}, {{"1", "ANA"}, {"2", "BRUNO"}}, 1, {}};
  names.search = [&](const std::string& text) {
    texts.push_back(text);
    return std::vector<std::vector<std::string>>{{"7", "BRUNA " + text}, {"8", "BRUNO " + text}};
  };
  answer({"B", "R", "Down", "Return"});
  EXPECT_EQ(ui.pick_list(names), 2);  // the second row of the last search
  EXPECT_EQ(texts, (std::vector<std::string>{"b", "br"}));
}

TEST_F(ViewsTest, PickListSearchesAsTheUserTypesAndAnswersTheOriginalRow) {
  const PickListRequest sellers{
      "Vendedores", {"Código", "Nome"}, {{"1", "JOANA"}, {"2", "PEDRO"}, {"3", "CARLOS"}, {"4", "PAULA"}}, 1, {}};
  answer({"Return"});
  EXPECT_EQ(ui.pick_list(sellers), 1);
  answer({"A", "U", "Return"});  // "AU" leaves PAULA alone
  EXPECT_EQ(ui.pick_list(sellers), 4);
  answer({"A", "Down", "Return"});  // "A" keeps JOANA, CARLOS, PAULA: the second
  EXPECT_EQ(ui.pick_list(sellers), 3);
  answer({"Down", "Down", "F2"});
  EXPECT_EQ(ui.pick_list(sellers), 3);
  answer({"R", "Escape"});
  EXPECT_EQ(ui.pick_list(sellers), 0);
  answer({"F12"});
  EXPECT_EQ(ui.pick_list(sellers), 0);
  QStringList buttons;
  answer({"Alt+R"}, [&](QWidget* dialog) {
    for (auto* button : dialog->findChildren<QPushButton*>()) buttons << button->text();
  });
  EXPECT_EQ(ui.pick_list(sellers), 0);
  EXPECT_EQ(buttons, (QStringList{"&Selecionar (F2)", "Sai&r (F12)"}));
}

// Three steps; a close request is granted only once they ended.
class ThreeSteps final : public OperationSteps {
 public:
  explicit ThreeSteps(HostUi& ui) : ui_(ui) {}
  // Each step lets events run (as a slow step may): the next tick must
  // still wait for this one to end.
  bool tick() override {
    if (running_) ++reentered_;
    running_ = true;
    ui_.operation_status("passo " + std::to_string(++ticks_));
    QTest::qWait(100);
    running_ = false;
    return ticks_ < 3;
  }
  [[nodiscard]] int progress() const override { return ticks_ * 33; }
  bool close_requested() override {
    ++refusals_;
    return ticks_ >= 3;
  }
  int ticks_ = 0;
  int refusals_ = 0;
  int reentered_ = 0;
  bool running_ = false;

 private:
  HostUi& ui_;
};

TEST_F(ViewsTest, OperationWindowRunsToTheEndAndRefusesToCloseMeanwhile) {
  ThreeSteps steps(ui);
  QTimer::singleShot(30, [&] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    QTest::keyClick(dialog, Qt::Key_Escape);
    EXPECT_TRUE(dialog->isVisible());
  });
  ui.operation_window("Processando", steps);
  EXPECT_EQ(steps.ticks_, 3);
  EXPECT_GE(steps.refusals_, 1);
  EXPECT_EQ(steps.reentered_, 0);
}

TEST_F(ViewsTest, ReceiptPreviewShowsThePngBesideThePdfAndPrintsThePdf) {
  testing::TempFolder folder;
  QImage receipt(120, 300, QImage::Format_RGB32);
  receipt.fill(Qt::white);
  ASSERT_TRUE(receipt.save(QString::fromStdString(folder.file("danfe-7.png"))));
  std::string printed;
  ui.set_print_handler([&](const std::string& path) { printed = path; });
  QSize shown;
  answer({"Alt+I", "Escape"}, [&](QWidget* dialog) {
    for (auto* label : dialog->findChildren<QLabel*>()) {
      if (!label->pixmap().isNull()) shown = label->pixmap().size();
    }
  });
  ui.preview_document("DANFE NFCe", folder.file("danfe-7.pdf"));
  EXPECT_EQ(shown, QSize(120, 300));
  EXPECT_EQ(printed, folder.file("danfe-7.pdf"));
}

TEST_F(ViewsTest, NumberWindowReadsADecimalCommaAndEscCancels) {
  const NumberRequest request{
      "Balança Virtual - Usuário", "Simulador de Balança:", "Digite o Peso:", 3, 0.0, "&Ok|&Cancelar"};
  QStringList shown;
  answer({"Return"}, [&](QWidget* dialog) {
    shown << dialog->windowTitle();
    for (auto* group : dialog->findChildren<QGroupBox*>()) shown << group->title();
    for (auto* label : dialog->findChildren<QLabel*>()) shown << label->text();
    auto* entry = dialog->findChild<QLineEdit*>();
    ASSERT_NE(entry, nullptr);
    QTest::keyClicks(entry, "1,2345");  // the fourth decimal is refused
  });
  // A comma misread would leave the window open: close it so the check fails instead.
  QTimer::singleShot(2000, [] {
    if (QWidget* open = QApplication::activeModalWidget()) open->close();
  });
  EXPECT_EQ(ui.ask_number(request), 1.234);
  EXPECT_EQ(shown, (QStringList{"Balança Virtual - Usuário", "Simulador de Balança:", "Digite o Peso:"}));

  answer({"Escape"}, [](QWidget* dialog) { QTest::keyClicks(dialog->findChild<QLineEdit*>(), "2"); });
  EXPECT_FALSE(ui.ask_number(request).has_value());
}

TEST(KeyScript, ParsesActionsAndNamesTheBadLine) {
  QString error;
  const auto actions = parse_key_script(
      "# a comment\n\nkey Alt+F5\ntext  caixa 1\nwait 10\nexpect Frente\nshot a.png\n", "s.keys", error);
  ASSERT_TRUE(actions.has_value()) << error.toStdString();
  ASSERT_EQ(actions->size(), 5U);
  EXPECT_EQ((*actions)[0].line, 3);
  EXPECT_EQ((*actions)[1].argument, " caixa 1");  // typed as written
  EXPECT_FALSE(parse_key_script("key F5\nclick Ok\n", "s.keys", error).has_value());
  EXPECT_EQ(error, "s.keys:2: unknown action \"click\"");
  EXPECT_FALSE(parse_key_script("key Foo+Bar\n", "s.keys", error).has_value());
  EXPECT_EQ(error, "s.keys:1: key: not a key: \"Foo+Bar\"");
  EXPECT_FALSE(parse_key_script("wait soon\n", "s.keys", error).has_value());
  EXPECT_FALSE(parse_key_script("expect\n", "s.keys", error).has_value());
}

class LoginViewTest : public testing::DbTest {
 protected:
  void SetUp() override {
    ensure_application();
    DbTest::SetUp();
  }
  QtHostUi ui;
};

TEST_F(LoginViewTest, WrongPasswordIsAnsweredAndTheFocusReturnsToThePassword) {
  LoginPresenter presenter(ui, db);
  int accepted_user = 0;
  LoginView view(presenter, [&](const UserAccount& user) {
    accepted_user = user.codigo;
    return true;
  });
  view.show();
  view.activateWindow();
  QTest::qWait(50);
  auto* user = view.findChild<QLineEdit*>("usuario");
  auto* password = view.findChild<QLineEdit*>("senha");
  ASSERT_TRUE(user != nullptr && password != nullptr);
  EXPECT_TRUE(user->hasFocus());
  QTest::keyClicks(user, "caixa");
  QTest::keyClick(user, Qt::Key_Tab);
  QTest::keyClicks(QApplication::focusWidget(), "errada");
  QString message;
  answer({"Return"}, [&](QWidget* box) { message = qobject_cast<QMessageBox*>(box)->text(); });
  QTest::keyClick(password, Qt::Key_Return);
  EXPECT_EQ(message, "Usuário ou senha inválidos.\nTentativa 1 de 3.");
  EXPECT_TRUE(password->text().isEmpty());
  EXPECT_EQ(view.focusWidget(), password);
  EXPECT_EQ(accepted_user, 0);
  QTest::keyClicks(password, "caixa123");
  QTest::keyClick(password, Qt::Key_Return);
  EXPECT_EQ(accepted_user, 1);
  EXPECT_FALSE(view.isVisible());
}

// The supervisor's dialog refuses a user without the right, keeps the typed
// login, and closes accepted once a supervisor with it grants.
TEST_F(LoginViewTest, AuthorisationRefusesWithoutTheRightThenGrants) {
  AutorizacaoPresenter presenter(ui, db, {1, "caixa", 1}, Direito::CancelaItem,
                                 "O usuário não possui permissão para cancelar nota fiscal.");
  AutorizacaoView view(presenter);
  view.show();
  view.activateWindow();
  QTest::qWait(50);
  auto* user = view.findChild<QLineEdit*>("usuario");
  auto* password = view.findChild<QLineEdit*>("senha");
  ASSERT_TRUE(user != nullptr && password != nullptr);
  EXPECT_EQ(view.findChild<QLabel*>("motivo")->text(), "O usuário não possui permissão para cancelar nota fiscal.");
  QTest::keyClicks(user, "gerente");
  QTest::keyClick(user, Qt::Key_Tab);
  QTest::keyClicks(QApplication::focusWidget(), "gerente123");
  QString message;
  answer({"Return"}, [&](QWidget* box) { message = qobject_cast<QMessageBox*>(box)->text(); });
  QTest::keyClick(password, Qt::Key_Return);
  EXPECT_EQ(message, "Usuário sem permissão para cancelar itens ou a venda.");
  EXPECT_TRUE(view.isVisible());
  EXPECT_TRUE(password->text().isEmpty());
  user->clear();
  QTest::keyClicks(user, "supervisor");
  QTest::keyClicks(password, "super123");
  QTest::keyClick(password, Qt::Key_Return);
  EXPECT_EQ(view.result(), QDialog::Accepted);
  EXPECT_EQ(presenter.liberacao().USUARIO_LIBERACAO, "supervisor");
}

}  // namespace
}  // namespace fvn::desktop
