// "O programe": product name, version and the two logos that open the maker's web pages.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <functional>

#include "ui/VersionInfo.h"

namespace lumetra {

// The maker's pages. On the reserved example domain until the maker names the real ones.
inline constexpr const char* kMakerHomePage = "https://www.zorvik.example/";
inline constexpr const char* kProductFamilyPage = "https://www.zorvik.example/lumetra/";

class TAboutBox : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kWidth = 407;
  static constexpr int kHeight = 353;

  explicit TAboutBox(QWidget* parent = nullptr);

  void OnZorvikLogoClick();
  void OnLumetraLogoClick();
  // Opens a web page in the default browser; tests record the address instead.
  std::function<void(const QUrl&)> OpenUrl;

  QLabel* ZorvikLogo;
  QLabel* LumetraLogo;
  QLabel* LabelProductName;
  QLabel* LabelVersion;
  QLabel* LabelFileVersion;
  QLabel* LabelCopyright;
  QLabel* Comments;
  QPushButton* OKButton;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  TVersionInfo Version;
};

}  // namespace lumetra
