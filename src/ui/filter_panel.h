// The filter and options panel: the exclude and include boxes with their
// switches, and the options of a run. Every change reaches the job at once.
#pragma once

#include <QPlainTextEdit>
#include <array>

#include "ui/skin_panel.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace dd {
class App;
enum class FilterBox;
}  // namespace dd

namespace dd::ui {

struct SkinPictures;

// A filter box: its placeholder clears on focus, comes back when left empty,
// and files dropped on it add their names.
class FilterTextBox : public QPlainTextEdit {
 public:
  FilterTextBox(App& app, FilterBox box, std::function<void()> changed, QWidget* parent);
  // Shows the core's text of the box (without echoing it back).
  void ShowText();
  // Typing is possible only while the box's filter is on; a box switched off
  // looks inactive and says on hover how to switch it on (`hint`).
  void SetAvailable(bool available);
  void SetOffHint(const QString& hint);

 protected:
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dragMoveEvent(QDragMoveEvent* e) override;
  void dropEvent(QDropEvent* e) override;

 private:
  std::string& CoreText() const;
  App& app_;
  FilterBox box_;
  std::function<void()> changed_;
  QString offHint_;
  bool showing_ = false;
};

class FilterPanel : public SkinPanel {
 public:
  FilterPanel(App& app, const SkinPictures& pictures, const ButtonFactory& makeButton, QWidget* parent);

  // The controls show the job's options.
  void ShowOptions();
  void LanguageChanged(const TextOf& text);

  FilterTextBox* txtExclude() const { return txtExclude_; }
  FilterTextBox* txtInclude() const { return txtInclude_; }
  QCheckBox* check(const QString& name) const;
  QLineEdit* txtDifference() const { return txtDifference_; }
  QLineEdit* txtLogFile() const { return txtLogFile_; }

 private:
  QCheckBox* AddCheck(const QString& name, bool* flag);

  App& app_;
  FilterTextBox *txtExclude_ = nullptr, *txtInclude_ = nullptr;
  QLineEdit* txtDifference_ = nullptr;
  QLabel* differenceCaption_ = nullptr;
  QLineEdit* txtLogFile_ = nullptr;
  QLabel* logFileCaption_ = nullptr;
  std::vector<std::pair<QCheckBox*, bool*>> checks_;
  bool showing_ = false;
};

}  // namespace dd::ui
