#include "host/desktop/desktop_host.h"

#include <QApplication>
#include <QPainter>
#include <QPolygonF>
#include <QStyleFactory>
#include <QTimer>

#include "host/desktop/main_window.h"
#include "host/screen_module.h"
#include "qt/busy_port.h"
#include "qt/dialog_port.h"
#include "qt/login_dialog.h"
#include "qt/look.h"
#include "qt/pick_many.h"
#include "qt/pick_one.h"
#include "qt/screen_cursor.h"
#include "rtl/dates.h"
#include "shared/roti_geral.h"
#include "shared/server_login.h"
#include "toolkit/application.h"

namespace host {

namespace {

// The host's window icon: a plain mark, drawn, so no toolkit logo stands in for it.
QIcon hostIcon() {
  QPixmap pm(32, 32);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 0, 128));
  p.drawRoundedRect(QRectF(1, 1, 30, 30), 5, 5);
  p.setPen(QPen(QColor(255, 255, 225), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPolyline(QPolygonF({QPointF(8, 9), QPointF(16, 24), QPointF(24, 9)}));
  p.end();
  return QIcon(pm);
}

}  // namespace

void SetUpDesktopLook() {
  if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
    QApplication::setStyle(fusion);
  QApplication::setWindowIcon(hostIcon());
  qtviews::InstallFontSubstitutes();
  QApplication::setFont(qtviews::ToQFont(tk::TFont{}));
}

DesktopHost::DesktopHost(const HostOptions& options, const Varnoke::Session& session)
    : options_(options),
      dialogs_(std::make_unique<qtviews::QtDialogPort>([this] { return workWindow(); })),
      pickOne_(std::make_unique<qtviews::QtPickOnePort>()),
      pickMany_(std::make_unique<qtviews::QtPickManyPort>()),
      busy_(std::make_unique<qtviews::QtBusyPort>(
          [this](tk::TForm*) -> QWidget* { return window_.get(); })),
      app_(std::make_unique<tk::TApplication>()) {
  app_->SetTitle(kApplicationTitle);
  app_->SetPorts(tk::Ports{dialogs_.get(), busy_.get(), pickOne_.get(), pickMany_.get(), nullptr});
  Varnoke::SetSession(session);
  rtl::ShortDateFormat() = session.shortDateFormat;
  shared::RegisterSharedClasses(app_->Classes());
  // The server asks who is calling: the login dialog, over the host's window.
  shared::SetCredentialsPrompt(
      [this](const std::string& user,
             const std::string& problem) -> std::optional<shared::Credentials> {
        const auto answer = qtviews::AskLogin(window_.get(), user, problem);
        if (!answer) return std::nullopt;
        return shared::Credentials{answer->first, answer->second};
      });

  mainForm_ = app_->Create<tk::TForm>();
  mainForm_->SetName("frmPrincipal");
  mainForm_->SetCaption(kApplicationTitle);
  app_->SetMainForm(mainForm_);
  mainForm_->Show();

  try {
    module_ = std::make_unique<ScreenModule>(
        options.modulePath.empty() ? ScreenModule::DefaultPath() : options.modulePath);
  } catch (const ModuleError& e) {
    moduleError_ = e.what();
  }

  // A form the module shows outside the menu entry still gets its window.
  app_->Screen().OnChange = [this] {
    if (window_ != nullptr) QTimer::singleShot(0, window_.get(), [this] { window_->adoptForms(); });
  };
  cursor_ = std::make_unique<qtviews::ScreenCursorView>(app_->Screen());
  window_ = std::make_unique<MainWindow>(*mainForm_, module_.get(), moduleError_);
}

QWidget* DesktopHost::workWindow() const {
  if (window_ == nullptr) return nullptr;
  // The screen's child window while a screen is the active form, the main window otherwise.
  const tk::TForm* active = app_ != nullptr ? app_->Screen().ActiveForm() : nullptr;
  if (active != nullptr) {
    if (QWidget* screen = window_->windowFor(active)) return screen;
  }
  return window_.get();
}

DesktopHost::~DesktopHost() {
  shared::SetCredentialsPrompt(nullptr);
  window_->freeForms();
  window_.reset();
  cursor_.reset();
  app_->Screen().OnChange = nullptr;
  module_.reset();
  app_.reset();
}

void DesktopHost::start() {
  window_->show();
  if (!moduleError_.empty()) {
    QTimer::singleShot(0, window_.get(), [this] { dialogs_->ShowError(moduleError_); });
  } else if (options_.open) {
    QTimer::singleShot(0, window_.get(), [this] { window_->openScreen(); });
  }
}

int RunDesktop(const HostOptions& options, const Varnoke::Session& session, int argc, char** argv) {
  QApplication qapp(argc, argv);
  QApplication::setApplicationName(QStringLiteral("vnd-host"));
  SetUpDesktopLook();
  DesktopHost host(options, session);
  host.start();
  return QApplication::exec();
}

}  // namespace host
