#pragma once
// The about box (TAboutBox).

#include <QDialog>

namespace pmkest {

// The about box: icon, product and version lines, OK. Not affected by the language switch.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
};

}  // namespace pmkest
