// The about box.
#include "ui/AboutBox.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>

#include "ui/Widgets.h"

// The logos live in the static GUI library, whose resources are registered on first use.
static void InitUiResources() { Q_INIT_RESOURCE(ui); }

namespace lumetra {

namespace {

QPixmap Logo(const QString& resource, QSize size) {
  QPixmap pixmap(size);
  pixmap.fill(Qt::transparent);
  QSvgRenderer renderer(resource);
  QPainter painter(&pixmap);
  renderer.render(&painter);
  return pixmap;
}

}  // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("AboutBox"));
  setWindowTitle(QStringLiteral("O programe"));
  setFixedSize(kWidth, kHeight);
  OpenUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };
  InitUiResources();

  ZorvikLogo = Named<QLabel>("ZorvikLogo", this);
  ZorvikLogo->setPixmap(Logo(QStringLiteral(":/logos/zorvik.svg"), QSize(180, 60)));
  ZorvikLogo->setGeometry(16, 16, 180, 60);
  LumetraLogo = Named<QLabel>("LumetraLogo", this);
  LumetraLogo->setPixmap(Logo(QStringLiteral(":/logos/lumetra.svg"), QSize(180, 60)));
  LumetraLogo->setGeometry(211, 16, 180, 60);
  for (QLabel* logo : {ZorvikLogo, LumetraLogo}) {
    logo->setCursor(Qt::PointingHandCursor);
    logo->installEventFilter(this);
  }

  QFont big = font();
  big.setPointSize(big.pointSize() + 6);
  big.setBold(true);
  LabelProductName =
      Named<QLabel>("LabelProductName", QString::fromStdString(Version.ProductName), this);
  LabelProductName->setFont(big);
  LabelProductName->setGeometry(16, 100, 375, 32);
  LabelVersion = Named<QLabel>("LabelVersion", QStringLiteral("Verzia"), this);
  LabelVersion->setGeometry(16, 144, 60, 20);
  LabelFileVersion =
      Named<QLabel>("LabelFileVersion", QString::fromStdString(Version.FileVersion), this);
  LabelFileVersion->setGeometry(80, 144, 200, 20);
  LabelCopyright =
      Named<QLabel>("LabelCopyright", QString::fromStdString(Version.LegalCopyright), this);
  LabelCopyright->setGeometry(16, 172, 375, 20);
  Comments = Named<QLabel>("Comments", QStringLiteral(" "), this);
  Comments->setGeometry(16, 200, 375, 80);
  Comments->setWordWrap(true);
  OKButton = Named<QPushButton>("OKButton", QStringLiteral("OK"), this);
  OKButton->setGeometry(166, 308, 75, 25);
  OKButton->setDefault(true);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

bool TAboutBox::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    if (watched == ZorvikLogo) OnZorvikLogoClick();
    if (watched == LumetraLogo) OnLumetraLogoClick();
  }
  return QDialog::eventFilter(watched, event);
}

void TAboutBox::OnZorvikLogoClick() { OpenUrl(QUrl(QString::fromLatin1(kMakerHomePage))); }

void TAboutBox::OnLumetraLogoClick() { OpenUrl(QUrl(QString::fromLatin1(kProductFamilyPage))); }

}  // namespace lumetra
