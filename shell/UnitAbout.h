#pragma once
// The About box: the program's name and the version it was built as. Created
// once, shown not modally on top of the main window, hidden when clicked.
#include <QDialog>

class QLabel;
class QPushButton;

// "Версия " and the four numbers of a version text ("1.20.8.11"); missing
// numbers read 0.
QString AboutVersionText(const QString &version);

class TFormAbout : public QDialog {
    Q_OBJECT
public:
    explicit TFormAbout(QWidget *parent = nullptr);
    ~TFormAbout() override;

    // Creates FormAbout on first use, centres it on the owner and shows it.
    static void ShowAbout(QWidget *owner);

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QLabel *LabelTitle;
    QLabel *LabelVersion;
    QPushButton *ButtonOK;
};

extern TFormAbout *FormAbout;
