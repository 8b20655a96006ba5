#pragma once
// The open dialog of the upload command, changed so that folders can be
// picked together with files: whatever is selected in the list when OK is
// pressed is taken, in list order, and the dialog closes.
#include <QFileDialog>
#include <string>
#include <vector>

class CMultiFileDialogEx : public QFileDialog {
    Q_OBJECT
public:
    explicit CMultiFileDialogEx(QWidget* parent = nullptr,
                                const QString& filter = QStringLiteral("所有文件 (*)"));
    ~CMultiFileDialogEx() override;

    // The chosen paths one by one: false when there is none (more).
    bool GetFirstPathName(std::wstring& out);
    bool GetNextPathName(std::wstring& out);
    const std::vector<std::wstring>& ChosenPaths() const { return chosen_; }
    // Whether OK took a selection from the list (else a typed name).
    bool Collected() const { return collected_; }

    void accept() override;

private:
    // Selected rows of the shown list in list order, as full paths.
    QStringList SelectedInListOrder() const;

    std::vector<std::wstring> chosen_;
    int readPosition_ = -1;
    bool collected_ = false;
};
