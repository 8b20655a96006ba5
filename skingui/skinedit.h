#pragma once
// The explorer's search box: a white rounded box holding a plain one-line edit on
// the left and a small image button on the right; the owner treats the whole box
// as one command source and reads the text from the edit.
#include <QWidget>

class QLineEdit;

namespace SKINGUI {

class CSkinBitmapButton;

class CSkinEdit : public QWidget {
    Q_OBJECT
public:
    static constexpr int kButtonId = 1035;

    explicit CSkinEdit(QWidget* parent = nullptr);
    ~CSkinEdit() override;

    QLineEdit* Edit() const { return edit_; }
    CSkinBitmapButton* Button() const { return button_; }
    // The search text as typed.
    QString Text() const;

signals:
    // The button was clicked: search for the edit's text.
    void searchRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QLineEdit* edit_ = nullptr;
    CSkinBitmapButton* button_ = nullptr;
};

}  // namespace SKINGUI
