#include "platform/QtDialogService.h"

#include "platform/Skin.h"

#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QCoreApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpacerItem>
#include <QVBoxLayout>

namespace {

// Title-bar room beyond the caption: icon, close button and margins.
constexpr int kTitleBarReserve = 140;

// A message box that tells a click on the title-bar close button (which Qt
// maps to the escape button) from a click on a button.
class TShellMessageBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;
    bool ClosedByTitleBar() const { return m_closed; }

protected:
    void closeEvent(QCloseEvent* event) override {
        m_closed = true;
        QMessageBox::closeEvent(event);
    }

private:
    bool m_closed = false;
};

QMessageBox::Icon IconFor(int icon) {
    switch (icon) {
        case 1:
            return QMessageBox::Information;
        case 2:
            return QMessageBox::Warning;
        default:
            return QMessageBox::NoIcon;
    }
}

// The boxes are drawn in "宋体" 9 pt where that font exists; fontconfig picks
// a CJK substitute otherwise.
QFont MessageFont(const QFont& base) {
    QFont font = base;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), base.family()});
    font.setPointSize(9);
    return font;
}

QWidget* DialogParent() { return QApplication::activeWindow(); }

// A message box is as narrow as its text; a short text ("英文单词：0") would
// cut its own caption ("字数统计") in the title bar. The caption's width plus
// room for the title bar's buttons is the least the box may have.
void KeepCaptionVisible(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid)
        return;
    const int width = box.fontMetrics().horizontalAdvance(box.windowTitle()) + kTitleBarReserve;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

QString JoinPatterns(const QString& patterns) {
    QStringList parts = patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& part : parts) {
        part = part.trimmed();
        if (part == QLatin1String("*.*"))
            part = QStringLiteral("*");  // "all files", also those without a dot
    }
    return parts.join(QLatin1Char(' '));
}

// Draws widget in skin, when there is one.
void Draw(const TSkin* skin, QWidget& widget) {
    if (skin)
        skin->ApplyTo(&widget);
}

void PrepareFileDialog(QFileDialog& dialog, const TFileDialogRequest& request, const TSkin* skin) {
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setWindowTitle(request.caption);
    if (!request.initialDir.isEmpty())
        dialog.setDirectory(request.initialDir);
    if (!request.filter.isEmpty())
        dialog.setNameFilter(ConvertFileFilter(request.filter));
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (!request.defaultExt.isEmpty())
        dialog.setDefaultSuffix(request.defaultExt);
    Draw(skin, dialog);
}

QStringList RunFileDialog(const TFileDialogRequest& request, QFileDialog::FileMode mode, QFileDialog::AcceptMode accept,
                          const TSkin* skin) {
    QFileDialog dialog(DialogParent());
    dialog.setFileMode(mode);
    dialog.setAcceptMode(accept);
    PrepareFileDialog(dialog, request, skin);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

QLineEdit* MaskedEdit(const char* objectName) {
    auto* edit = new QLineEdit;
    edit->setObjectName(QLatin1String(objectName));
    edit->setEchoMode(QLineEdit::Password);
    edit->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    return edit;
}

}  // namespace

QString ConvertFileFilter(const QString& filter) {
    if (!filter.contains(QLatin1Char('|')))
        return filter;
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    // A description that already shows its patterns, as "文本文件(*.txt)" does,
    // is not given them a second time.
    static const QRegularExpression shownPatterns(QStringLiteral("\\(([^()]*)\\)\\s*$"));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString patterns = JoinPatterns(parts[i + 1]);
        const QRegularExpressionMatch shown = shownPatterns.match(description);
        if (shown.hasMatch() && JoinPatterns(shown.captured(1)) == patterns)
            filters << description;
        else
            filters << QStringLiteral("%1 (%2)").arg(description, patterns);
    }
    return filters.join(QStringLiteral(";;"));
}

int TQtDialogService::MessageBox(const QString& text, const QString& caption, int icon, int style, int buttons) {
    TShellMessageBox box(DialogParent());
    box.setWindowTitle(caption);
    box.setText(text);
    box.setIcon(IconFor(icon));
    box.setFont(MessageFont(box.font()));
    QPushButton* first = nullptr;
    QPushButton* no = nullptr;
    QPushButton* cancel = nullptr;
    if (buttons == 2 || buttons == 3) {
        first = box.addButton(QCoreApplication::translate("TQtDialogService", "是(&Y)"), QMessageBox::YesRole);
        no = box.addButton(QCoreApplication::translate("TQtDialogService", "否(&N)"), QMessageBox::NoRole);
        if (buttons == 3)
            cancel = box.addButton(QCoreApplication::translate("TQtDialogService", "取消"), QMessageBox::RejectRole);
        box.setEscapeButton(cancel ? cancel : no);
    } else {
        first = box.addButton(QCoreApplication::translate("TQtDialogService", "确定"), QMessageBox::AcceptRole);
        box.setEscapeButton(first);
    }
    box.setDefaultButton(first);
    ApplySkin(&box, style, m_skin ? m_skin->Theme() : QString());
    KeepCaptionVisible(box);
    box.exec();
    // Closing the box by its title bar answers as Escape does.
    const int closed = cancel ? 3 : 2;
    if (box.ClosedByTitleBar())
        return closed;
    if (box.clickedButton() == first)
        return 1;
    return box.clickedButton() == no ? 2 : closed;
}

QString TQtDialogService::InputPassword() {
    QDialog dialog(DialogParent());
    dialog.setObjectName(QStringLiteral("frmPassword"));
    dialog.setWindowTitle(QCoreApplication::translate("TQtDialogService", "打开稿件库"));
    QLineEdit* password = MaskedEdit("editPassword");
    QLineEdit* confirm = MaskedEdit("editConfirm");
    auto* fields = new QGridLayout;
    // Each label is its box's buddy, and its caption the box's accessible name.
    auto addField = [fields](const QString& caption, QLineEdit* box, int row) {
        auto* label = new QLabel(caption);
        label->setBuddy(box);
        box->setAccessibleName(caption.left(caption.size() - 1));
        fields->addWidget(label, row, 0);
        fields->addWidget(box, row, 1);
    };
    addField(QCoreApplication::translate("TQtDialogService", "输入密码："), password, 0);
    addField(QCoreApplication::translate("TQtDialogService", "确认密码："), confirm, 1);
    auto* ok = new QPushButton(QCoreApplication::translate("TQtDialogService", "确认"));
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QCoreApplication::translate("TQtDialogService", "取消"));
    cancel->setObjectName(QStringLiteral("btnCancel"));
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(ok);
    buttonRow->addWidget(cancel);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(fields);
    layout->addLayout(buttonRow);
    password->setFocus();
    Draw(m_skin, dialog);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return password->text();
}

QString TQtDialogService::OpenFileName(const TFileDialogRequest& request) {
    const QStringList files = RunFileDialog(request, QFileDialog::ExistingFile, QFileDialog::AcceptOpen, m_skin);
    return files.isEmpty() ? QString() : files.first();
}

QStringList TQtDialogService::OpenFileNames(const TFileDialogRequest& request) {
    return RunFileDialog(request, QFileDialog::ExistingFiles, QFileDialog::AcceptOpen, m_skin);
}

QString TQtDialogService::SaveFileName(const TFileDialogRequest& request) {
    const QStringList files = RunFileDialog(request, QFileDialog::AnyFile, QFileDialog::AcceptSave, m_skin);
    return files.isEmpty() ? QString() : files.first();
}

QString TQtDialogService::FolderName(const QString& caption, const QString& initialDir) {
    QFileDialog dialog(DialogParent());
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setWindowTitle(caption);
    if (!initialDir.isEmpty())
        dialog.setDirectory(initialDir);
    Draw(m_skin, dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

std::optional<QFont> TQtDialogService::ChooseFont(const QFont& initial) {
    QFontDialog dialog(initial, DialogParent());
    dialog.setOption(QFontDialog::DontUseNativeDialog, true);
    Draw(m_skin, dialog);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedFont();
}

std::optional<QColor> TQtDialogService::ChooseColor(const QColor& initial) {
    QColorDialog dialog(initial, DialogParent());
    dialog.setOption(QColorDialog::DontUseNativeDialog, true);
    Draw(m_skin, dialog);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedColor();
}

int TQtDialogService::ExecDialog(QDialog& dialog) {
    Draw(m_skin, dialog);
    return dialog.exec() == QDialog::Accepted ? QDialog::Accepted : QDialog::Rejected;
}
