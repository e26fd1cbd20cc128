// The monitor display: decoding each record with the page's filters, stamping it and keeping the
// view at the end unless the user scrolled back.
#include "monitor/MonitorFrame.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextOption>
#include <ctime>

namespace lumetra {

namespace {

constexpr int kHeaderHeight = 20;
// The font was designed as 15 pixels of character cell (ascent plus descent), not of em size.
constexpr int kCellHeight = 15;

QFont MonitorFont() {
  QFont font(QStringLiteral("Liberation Mono"));
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  for (int pixels = kCellHeight; pixels > 6; --pixels) {
    font.setPixelSize(pixels);
    if (QFontMetrics(font).height() <= kCellHeight) break;
  }
  return font;
}

// The average character width by which dialog units become pixels: the width of the 52 Latin
// letters, rounded as the dialog base unit is.
int AverageCharWidth(const QFont& font) {
  const int width = QFontMetrics(font).horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return (width / 26 + 1) / 2;
}

ArrivalTime Now() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_hour, local.tm_min, local.tm_sec};
}

}  // namespace

int TMonitorLinesModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(lines_.Count());
}

QVariant TMonitorLinesModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
  const std::string_view line = lines_.Line(static_cast<size_t>(index.row()));
  return QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
}

void TMonitorLinesModel::Append(std::string_view line) {
  const int row = rowCount();
  beginInsertRows(QModelIndex(), row, row);
  lines_.Append(line);
  endInsertRows();
}

void TMonitorLinesModel::Replace(MonitorLines lines) {
  beginResetModel();
  lines_.Swap(lines);
  endResetModel();
}

void TMonitorLinesModel::Clear() { Replace(MonitorLines()); }

void TTabbedLineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
  const bool selected = option.state & QStyle::State_Selected;
  if (selected) painter->fillRect(option.rect, option.palette.highlight());
  QTextOption text;
  text.setTabArray(stops_);
  text.setWrapMode(QTextOption::NoWrap);
  painter->save();
  painter->setFont(option.font);
  painter->setPen(selected ? option.palette.highlightedText().color()
                           : option.palette.text().color());
  painter->drawText(QRectF(option.rect), index.data(Qt::DisplayRole).toString(), text);
  painter->restore();
}

QSize TTabbedLineDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
  return {option.rect.width() > 0 ? option.rect.width() : 1, lineHeight_};
}

TMonitorFrame::TMonitorFrame(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("MonitorFrame"));
  auto label = [this](const char* name, const char* caption) {
    auto* l = new QLabel(QString::fromUtf8(caption), this);
    l->setObjectName(QString::fromLatin1(name));
    return l;
  };
  LabelHexa = label("LabelHexa", "Hexa");
  LabelAddress = label("LabelAddress", "Adresa");
  LabelCommand = label("LabelCommand", "Príkaz / odpoveď");
  LabelData = label("LabelData", "Údaje");
  LabelTime = label("LabelTime", "Čas");

  MemoMonitor = new QListView(this);
  MemoMonitor->setObjectName(QStringLiteral("MemoMonitor"));
  model_ = new TMonitorLinesModel(this);
  delegate_ = new TTabbedLineDelegate(this);
  MemoMonitor->setFont(MonitorFont());
  lineHeight_ = QFontMetrics(MemoMonitor->font()).height();
  delegate_->SetLineHeight(lineHeight_);
  MemoMonitor->setItemDelegate(delegate_);
  // Uniform rows let the view place a row by arithmetic instead of measuring every line.
  MemoMonitor->setUniformItemSizes(true);
  MemoMonitor->setEditTriggers(QAbstractItemView::NoEditTriggers);
  MemoMonitor->setSelectionMode(QAbstractItemView::ExtendedSelection);
  MemoMonitor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  MemoMonitor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  MemoMonitor->setModel(model_);
  MemoMonitor->installEventFilter(this);
  SetTabStops();
}

void TMonitorFrame::SetTabStops() {
  const int average = AverageCharWidth(MemoMonitor->font());
  tabStops_.clear();
  for (int dialogUnits : kTabStops) tabStops_.push_back(dialogUnits * average / 4);
  delegate_->SetTabStops(tabStops_);
  PlaceHeader();
}

void TMonitorFrame::PlaceHeader() {
  // Each caption over the first character of its column.
  const int left = MemoMonitor->frameWidth();
  const std::pair<QLabel*, int> captions[] = {
      {LabelHexa, 0}, {LabelAddress, 3}, {LabelCommand, 4}, {LabelData, 5}, {LabelTime, 8}};
  for (size_t i = 0; i < std::size(captions); ++i) {
    const int x = left + static_cast<int>(tabStops_[captions[i].second]);
    const int next = i + 1 < std::size(captions)
                         ? left + static_cast<int>(tabStops_[captions[i + 1].second])
                         : width();
    captions[i].first->setGeometry(x, 0, std::max(next - x, 1), kHeaderHeight);
  }
  MemoMonitor->setGeometry(0, kHeaderHeight, width(), std::max(height() - kHeaderHeight, 0));
}

void TMonitorFrame::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  PlaceHeader();
  UpdateVisibleLines();
}

void TMonitorFrame::UpdateVisibleLines() {
  visibleLines_ = lineHeight_ > 0 ? MemoMonitor->viewport()->height() / lineHeight_ : 0;
}

void TMonitorFrame::ResetMonitor() {
  filter_ = MonitorFilter();
  skipNextAnswer_ = false;
  SetTabStops();
  ClearLines();
  UpdateVisibleLines();
}

void TMonitorFrame::AddRecord(const MonitorRecord& record) {
  if (DecodeRecordInto(scratch_, record, filter_, skipNextAnswer_, Now())) AddLine(scratch_);
}

bool TMonitorFrame::ShowsEnd() const {
  const QScrollBar* bar = MemoMonitor->verticalScrollBar();
  return bar->value() >= bar->maximum();
}

void TMonitorFrame::AddLine(std::string_view line) {
  // A user who scrolled back keeps what is on the screen; otherwise the new line is shown.
  const bool atEnd = ShowsEnd();
  model_->Append(line);
  if (atEnd) MemoMonitor->scrollToBottom();
}

void TMonitorFrame::ClearLines() { model_->Clear(); }

void TMonitorFrame::SaveLines(const std::string& fileName) const {
  SaveMonitorLines(fileName, model_->Lines());
}

void TMonitorFrame::LoadLines(const std::string& fileName) {
  // Read completely before the view is touched, so a failure leaves it as it was.
  MonitorLines lines = LoadMonitorLines(fileName);
  model_->Replace(std::move(lines));
}

void TMonitorFrame::ScrollToEnd() { MemoMonitor->scrollToBottom(); }

bool TMonitorFrame::eventFilter(QObject* watched, QEvent* event) {
  if (watched == MemoMonitor && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
    CopySelection();
    return true;
  }
  return QFrame::eventFilter(watched, event);
}

void TMonitorFrame::CopySelection() {
  QModelIndexList rows = MemoMonitor->selectionModel()->selectedRows();
  std::sort(rows.begin(), rows.end());
  QString text;
  for (const QModelIndex& row : rows) {
    text += row.data().toString();
    text += QStringLiteral("\r\n");
  }
  QApplication::clipboard()->setText(text);
}

}  // namespace lumetra
