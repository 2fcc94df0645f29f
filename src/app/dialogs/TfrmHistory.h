// TfrmHistory: the "历史版本" dialog of one manuscript. It is given the
// manuscript's versions (newest first, as TDocHistory lists them with
// checkTexts: damage and length known, texts not yet read), a reader of a
// version's text (the caller's: the dialog asks for a text when the version
// is selected, once) and the editor's current text. It lists the versions
// (保存时间, 汉字, 变化: the version's characters less the current text's) and
// shows the selected one beside the current text with the differences marked by
// character: text only the version has, and text only the current text has,
// each in fixed colours on a fixed background (readable whatever the skin),
// and also underlined or struck through, so colour is not the only mark. A
// summary of the differences is shown in words and given to screen readers.
//
// A damaged version (listed so, or whose text the reader then cannot give)
// is shown as "已损坏"; it shows no text and cannot be chosen. "恢复此版本" accepts the dialog with the selected
// version, "关闭" rejects it; the caller restores. The dialog owns its child widgets.
#pragma once

#include "library/CharDiff.h"
#include "library/DocHistory.h"

#include <QColor>
#include <QDialog>
#include <functional>
#include <optional>
#include <vector>

class QLabel;
class QPushButton;
class QTextBrowser;
class QTreeWidget;

struct THistoryEntry {
    TDocVersion Version;
    std::optional<QString> Text;  // the version's text once read
};

// The text of a version by its ID; nullopt when it cannot be read (damaged).
using TVersionTextReader = std::function<std::optional<QString>(int versionID)>;

class TfrmHistory : public QDialog {
    Q_OBJECT
public:
    TfrmHistory(std::vector<THistoryEntry> versions, const QString& currentText, TVersionTextReader readText,
                QWidget* parent = nullptr);

    // The ID of the version selected when the dialog was accepted.
    std::optional<int> ChosenVersionID() const;

    // The marks: foreground and background of text only the version has
    // (Removed since it) and of text only the current text has (Added).
    struct TMark {
        QColor Text;
        QColor Back;
    };
    static TMark MarkOf(TDiffOp op);
    // The differences in words, as the summary and screen readers give them.
    static QString Describe(const std::vector<TDiffRun>& runs);
    // Characters as the 变化 column counts them (a line break is one).
    static int CharacterCount(const QString& text);

    QTreeWidget* lvVersions = nullptr;
    QTextBrowser* txtVersion = nullptr;
    QTextBrowser* txtCurrent = nullptr;
    QLabel* lblSummary = nullptr;
    QPushButton* btnRestore = nullptr;
    QPushButton* btnClose = nullptr;

private:
    void Fill();
    void ShowSelected();
    const THistoryEntry* Selected() const;
    // The selected entry with its text read (or found damaged); null when none.
    const THistoryEntry* SelectedWithText();

    std::vector<THistoryEntry> m_versions;
    TVersionTextReader m_readText;
    QString m_current;
};
