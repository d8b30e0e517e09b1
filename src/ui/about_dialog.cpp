#include "ui/about_dialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/controller.h"
#include "ui/app_icon.h"

namespace yl {

AboutDialog::AboutDialog(const AboutFacts& facts, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString("About %1").arg(kDisplayName));
  setObjectName("aboutBox");
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  icon_ = new QToolButton(this);
  icon_->setObjectName("aboutIcon");
  icon_->setAutoRaise(true);
  icon_->setIcon(AppIcon());
  icon_->setIconSize(QSize(96, 96));
  icon_->setFocusPolicy(Qt::NoFocus);
  connect(icon_, &QToolButton::clicked, this, [this] {
    QApplication::beep();
    clicked_ = true;
  });
  top->addWidget(icon_, 0, Qt::AlignTop);
  auto* text = new QVBoxLayout;
  auto* name = new QLabel(kDisplayName, this);
  QFont big = name->font();
  big.setPointSizeF(big.pointSizeF() * 1.8);
  big.setBold(true);
  name->setFont(big);
  text->addWidget(name);
  text->addWidget(new QLabel("For recursive dynamic models", this));
  for (const std::string& line : AboutLines(facts)) {
    auto* l = new QLabel(QString::fromStdString(line), this);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    text->addWidget(l);
  }
  text->addStretch();
  top->addLayout(text, 1);
  layout->addLayout(top);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

std::function<bool(const AboutFacts&)> QtShowAbout(QWidget* parent) {
  return [parent](const AboutFacts& facts) {
    AboutDialog box(facts, parent);
    box.exec();
    return box.icon_clicked();
  };
}

}  // namespace yl
