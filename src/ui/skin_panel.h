// The frame of an option panel: the skin's panel background behind its controls.
#pragma once

#include <QIcon>
#include <QString>
#include <QWidget>
#include <functional>

namespace dd::ui {

class PictureButton;

// Makes a picture button of the window (it shares the window's pictures and clicks).
using ButtonFactory = std::function<PictureButton*(int number, QWidget* parent)>;
// The text of a language key.
using TextOf = std::function<QString(const QString& key)>;

class SkinPanel : public QWidget {
 public:
  SkinPanel(const QIcon& background, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  const QIcon& background_;
};

// Caption, tooltip and accessible name of a control from one text; an empty
// text (no language file yet) keeps what the control shows.
void SetCaption(QWidget* control, const QString& text);

}  // namespace dd::ui
