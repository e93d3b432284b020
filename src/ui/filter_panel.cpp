#include "ui/filter_panel.h"

#include <QCheckBox>
#include <QDropEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QVBoxLayout>

#include "common/app.h"
#include "common/text.h"
#include "todo/filters.h"
#include "ui/picture_button.h"
#include "ui/qt_text.h"
#include "ui/skin.h"
#include "window_rules/buttons.h"

namespace dd::ui {

namespace {

// The box's lines as the core keeps them: joined by CR LF, bytes as typed.
std::string CoreLines(const QString& text) {
  std::string bytes = PathBytes(text);
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 16);
  for (char c : bytes) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

// `a` moved towards `b` by `t` (0..1).
QColor Blend(const QColor& a, const QColor& b, double t) {
  return QColor::fromRgbF(a.redF() + t * (b.redF() - a.redF()), a.greenF() + t * (b.greenF() - a.greenF()),
                          a.blueF() + t * (b.blueF() - a.blueF()));
}

}  // namespace

FilterTextBox::FilterTextBox(App& app, FilterBox box, std::function<void()> changed, QWidget* parent)
    : QPlainTextEdit(parent), app_(app), box_(box), changed_(std::move(changed)) {
  setAcceptDrops(true);
  setTabChangesFocus(true);
  connect(this, &QPlainTextEdit::textChanged, this, [this] {
    if (showing_) return;
    CoreText() = CoreLines(toPlainText());
    changed_();
  });
}

std::string& FilterTextBox::CoreText() const {
  return box_ == FilterBox::Exclude ? app_.Options.ExcludeText : app_.Options.IncludeText;
}

void FilterTextBox::ShowText() {
  const std::string& placeholder =
      box_ == FilterBox::Exclude ? app_.Options.ExclPlaceholder : app_.Options.InclPlaceholder;
  // The placeholder and a switched-off box show dimmed; the colours come from the skin's palette.
  const QPalette skin = parentWidget() ? parentWidget()->palette() : QPalette();
  QPalette p = palette();
  const bool dim = isReadOnly() || ShowsPlaceholder(CoreText(), placeholder);
  const QColor text = skin.color(QPalette::Text), base = skin.color(QPalette::Base);
  p.setColor(QPalette::Text, dim ? Blend(text, base, 0.5) : text);
  // A switched-off box is shaded, as inactive fields are, so it does not invite typing.
  p.setColor(QPalette::Base, isReadOnly() ? Blend(base, text, 0.12) : base);
  setPalette(p);
  const QString shown = Display(CoreText());
  if (toPlainText() == shown) return;
  showing_ = true;
  setPlainText(shown);
  moveCursor(QTextCursor::End);
  showing_ = false;
}

void FilterTextBox::SetOffHint(const QString& hint) {
  offHint_ = hint;
  if (isReadOnly()) setToolTip(offHint_);
}

void FilterTextBox::SetAvailable(bool available) {
  if (isReadOnly() == !available) return;
  setReadOnly(!available);
  // How to switch it on, on hover and for assistive tools.
  setToolTip(available ? QString() : offHint_);
  setAccessibleDescription(toolTip());
  viewport()->setAcceptDrops(true);
  ShowText();
}

void FilterTextBox::focusInEvent(QFocusEvent* e) {
  if (!isReadOnly()) FilterBoxFocusGained(app_.Options, box_);
  ShowText();
  QPlainTextEdit::focusInEvent(e);
}

void FilterTextBox::focusOutEvent(QFocusEvent* e) {
  FilterBoxFocusLost(app_.Options, box_);
  ShowText();
  QPlainTextEdit::focusOutEvent(e);
}

void FilterTextBox::dragEnterEvent(QDragEnterEvent* e) {
  if (e->mimeData()->hasFormat(QStringLiteral("text/uri-list")))
    e->acceptProposedAction();
  else
    QPlainTextEdit::dragEnterEvent(e);
}

void FilterTextBox::dragMoveEvent(QDragMoveEvent* e) {
  if (e->mimeData()->hasFormat(QStringLiteral("text/uri-list")))
    e->acceptProposedAction();
  else
    QPlainTextEdit::dragMoveEvent(e);
}

void FilterTextBox::dropEvent(QDropEvent* e) {
  if (!e->mimeData()->hasFormat(QStringLiteral("text/uri-list"))) {
    QPlainTextEdit::dropEvent(e);
    return;
  }
  FilesDroppedOnFilterBox(app_.Options, box_,
                          LocalPathsOfUriList(e->mimeData()->data(QStringLiteral("text/uri-list"))));
  e->acceptProposedAction();
  ShowText();
  moveCursor(QTextCursor::End);
  changed_();
}

FilterPanel::FilterPanel(App& app, const SkinPictures& pictures, const ButtonFactory& makeButton, QWidget* parent)
    : SkinPanel(pictures.backgrounds[4], parent), app_(app) {
  setObjectName(QStringLiteral("frameExclude"));
  auto* outer = new QHBoxLayout(this);
  outer->setContentsMargins(12, 8, 8, 8);
  outer->setSpacing(16);
  JobOptions& o = app_.Options;
  auto changed = [this] { ShowOptions(); };

  auto addFilter = [&](FilterBox box, const QString& enable, bool* enabled, const QString& caseName,
                       bool* caseSensitive) {
    auto* column = new QVBoxLayout;
    column->addWidget(AddCheck(enable, enabled));
    auto* text = new FilterTextBox(app_, box, changed, this);
    text->setObjectName(box == FilterBox::Exclude ? QStringLiteral("txtExclude") : QStringLiteral("txtInclude"));
    text->setMinimumHeight(90);
    column->addWidget(text, 1);
    column->addWidget(AddCheck(caseName, caseSensitive));
    outer->addLayout(column, 2);
    return text;
  };
  txtExclude_ = addFilter(FilterBox::Exclude, QStringLiteral("chkEnableExcl"), &o.ExclEnabled,
                          QStringLiteral("chkExclCaseSenstiv"), &o.ExclCaseSensitive);
  txtInclude_ = addFilter(FilterBox::Include, QStringLiteral("chkEnableIncl"), &o.InclEnabled,
                          QStringLiteral("chkInclCaseSenstiv"), &o.InclCaseSensitive);

  auto* options = new QVBoxLayout;
  auto* difference = new QHBoxLayout;
  txtDifference_ = new QLineEdit(this);
  txtDifference_->setObjectName(QStringLiteral("txtDifference"));
  txtDifference_->setMaximumWidth(70);
  differenceCaption_ = new QLabel(this);
  differenceCaption_->setBuddy(txtDifference_);
  differenceCaption_->setWordWrap(true);
  difference->addWidget(txtDifference_);
  difference->addWidget(differenceCaption_, 1);
  options->addLayout(difference);
  connect(txtDifference_, &QLineEdit::textEdited, this, [this](const QString& text) {
    app_.Options.TimeToleranceText = PathBytes(text);
    app_.Options.TimeTolerance = LeadingNumber(app_.Options.TimeToleranceText);
  });
  options->addWidget(AddCheck(QStringLiteral("chkDaylightSaving"), &o.DaylightSaving));
  options->addWidget(AddCheck(QStringLiteral("chkSaveTextFiles"), &o.SaveTextFiles));
  options->addWidget(AddCheck(QStringLiteral("chkDeleteSuccessful"), &o.DeleteSuccessful));
  options->addWidget(AddCheck(QStringLiteral("[Deleted files to trash]"), &o.DeletedToTrash));
  // A run appends its record to this file; empty: none.
  logFileCaption_ = new QLabel(this);
  txtLogFile_ = new QLineEdit(this);
  txtLogFile_->setObjectName(QStringLiteral("txtLogFile"));
  logFileCaption_->setBuddy(txtLogFile_);
  logFileCaption_->setWordWrap(true);
  options->addWidget(logFileCaption_);
  options->addWidget(txtLogFile_);
  connect(txtLogFile_, &QLineEdit::textEdited, this,
          [this](const QString& text) { app_.Options.LogFile = PathBytes(text); });
  options->addWidget(AddCheck(QStringLiteral("chkCompareContent"), &o.CompareContent));
  options->addWidget(AddCheck(QStringLiteral("chkVerifyCopies"), &o.VerifyCopies));
  options->addStretch(1);
  outer->addLayout(options, 3);
  outer->addWidget(makeButton(kBtnHideExcludePanel, this), 0, Qt::AlignTop);
  ShowOptions();
}

QCheckBox* FilterPanel::AddCheck(const QString& name, bool* flag) {
  auto* box = new QCheckBox(this);
  box->setObjectName(name);
  checks_.emplace_back(box, flag);
  // A click on the box or its caption sets the flag; an enable box also switches its text box.
  connect(box, &QCheckBox::toggled, this, [this, flag](bool on) {
    if (showing_) return;
    *flag = on;
    ShowOptions();
  });
  return box;
}

QCheckBox* FilterPanel::check(const QString& name) const {
  for (const auto& [box, flag] : checks_)
    if (box->objectName() == name) return box;
  return nullptr;
}

void FilterPanel::ShowOptions() {
  showing_ = true;
  for (const auto& [box, flag] : checks_) box->setChecked(*flag);
  txtExclude_->ShowText();
  txtInclude_->ShowText();
  // A switched-off filter's box takes no typing, but files dropped on it still switch it on.
  txtExclude_->SetAvailable(app_.Options.ExclEnabled);
  txtInclude_->SetAvailable(app_.Options.InclEnabled);
  const QString tolerance = DisplayPath(app_.Options.TimeToleranceText);
  if (txtDifference_->text() != tolerance) txtDifference_->setText(tolerance);
  const QString logFile = DisplayPath(app_.Options.LogFile);
  if (txtLogFile_->text() != logFile) txtLogFile_->setText(logFile);
  showing_ = false;
}

void FilterPanel::LanguageChanged(const TextOf& text) {
  for (const auto& [box, flag] : checks_) SetCaption(box, text(box->objectName()));
  const QString difference = text(QStringLiteral("txtDifference"));
  SetCaption(differenceCaption_, difference);
  SetCaption(txtDifference_, difference);
  const QString logFile = text(QStringLiteral("[Log file]"));
  SetCaption(logFileCaption_, logFile);
  SetCaption(txtLogFile_, logFile);
  for (FilterTextBox* box : {txtExclude_, txtInclude_}) {
    const QString name = text(box == txtExclude_ ? QStringLiteral("chkEnableExcl") : QStringLiteral("chkEnableIncl"));
    if (!name.isEmpty()) box->setAccessibleName(QString(name).remove(QLatin1Char('&')));
    box->SetOffHint(text(box == txtExclude_ ? QStringLiteral("txtExcludeOff") : QStringLiteral("txtIncludeOff")));
  }
  ShowOptions();
}

}  // namespace dd::ui
