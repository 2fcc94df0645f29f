// The main tool bar `tbTool` with its buttons and the two font boxes.
#include "app/ShellIcons.h"
#include "app/TfrmMain.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QToolBar>
#include <QToolButton>

QToolButton* TfrmMain::AddToolButton(QToolBar* bar, const QString& name, const QString& hint, const QIcon& icon,
                                     const TCommand& command) {
    auto* button = new QToolButton(bar);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setAccessibleName(hint);
    button->setIcon(icon);
    button->setAutoRaise(true);
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    ConnectCommand(button, command);
    bar->addWidget(button);
    m_buttons.insert(name, button);
    return button;
}

void TfrmMain::BuildToolBar() {
    m_tbTool = addToolBar(QStringLiteral("tbTool"));
    m_tbTool->setObjectName(QStringLiteral("tbTool"));
    m_tbTool->setMovable(false);
    m_tbTool->setFloatable(false);
    m_tbTool->setFixedHeight(28);
    m_tbTool->setIconSize(QSize(18, 18));
    m_tbTool->toggleViewAction()->setVisible(false);

    struct ButtonDef {
        const char* name;
        QString hint;
        TCommand command;
        bool dividerAfter;
    };
    const ButtonDef before[] = {
        {"tbNew", tr("新建"), Command("munFileNew"), false},
        {"tbOpen", tr("打开"), Command("munFileOpen"), false},
        {"tbSave", tr("保存"), Command("munFileSave"), true},
        {"tbAttribute", tr("属性"), Command("munFileAttribute"), false},
        {"tbPrint", tr("打印"), Command("munFilePrint"), false},
        {"tbMail", tr("发送邮件"), Command("munFileMail"), true},
        {"tbUndo", tr("撤销"), Command("munEditUndo"), false},
        {"tbRedo", tr("重复"), Command("munEditRedo"), true},
        {"tbCut", tr("剪切"), Command("munEditCut"), false},
        {"tbCopy", tr("复制"), Command("munEditCopy"), false},
        {"tbPaste", tr("粘贴"), Command("munEditPaste"), false},
        {"tbDel", tr("删除"), Command("munEditDel"), true},
    };
    const ButtonDef after[] = {
        {"tbFind", tr("查找"), Command("munFindSearch"), false},
        {"tbReader", tr("阅读模式"), Command("munToolReader"), false},
        {"tbHide", tr("快速隐藏"), Cmd(this, &TfrmMain::munToolHideClick), false},
    };
    const ButtonDef help[] = {
        {"tbHome", tr("软件主页"), Command("munHelpHome"), false},
        {"tbHelp", tr("帮助主题"), Command("munHelpTopic"), false},
    };
    auto addAll = [this](const auto& defs) {
        for (const ButtonDef& s : defs) {
            const QString hint = s.hint;
            AddToolButton(m_tbTool, QString::fromLatin1(s.name), hint, ToolIcon(QString::fromLatin1(s.name), hint),
                          s.command);
            if (s.dividerAfter)
                m_tbTool->addSeparator();
        }
    };
    addAll(before);
    RequireLibrary(ToolButton(QStringLiteral("tbAttribute")));  // the selected manuscript's attributes
    BuildFontBoxes();
    m_tbTool->addSeparator();
    addAll(after);
    const QString fullScreen = tr("全屏写作");
    AddToolButton(m_tbTool, QStringLiteral("tbFullScreen"), fullScreen,
                  ToolIcon(QStringLiteral("tbFullScreen"), fullScreen), Command("munToolFullScreen"));
    m_tbTool->addSeparator();
    addAll(help);
}

void TfrmMain::BuildFontBoxes() {
    m_comboxFontName = new QComboBox(m_tbTool);
    m_comboxFontName->setObjectName(QStringLiteral("comboxFontName"));
    m_comboxFontName->setToolTip(tr("字体"));
    m_comboxFontName->setEditable(false);
    m_comboxFontName->setMaxVisibleItems(15);
    m_comboxFontName->setMinimumWidth(150);
    m_comboxFontName->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_comboxFontName->setMinimumContentsLength(14);
    m_tbTool->addWidget(m_comboxFontName);

    m_comboxFontSize = new QComboBox(m_tbTool);
    m_comboxFontSize->setObjectName(QStringLiteral("comboxFontSize"));
    m_comboxFontSize->setToolTip(tr("字号"));
    m_comboxFontSize->setEditable(false);
    for (int size : {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72})
        m_comboxFontSize->addItem(QString::number(size));
    m_comboxFontSize->setMinimumWidth(56);
    m_tbTool->addWidget(m_comboxFontSize);

    // activated fires for the user's choice only, so UpdateEditActions can
    // select entries without running the change commands.
    connect(m_comboxFontName, &QComboBox::activated, this, Command("comboxFontName"));
    connect(m_comboxFontSize, &QComboBox::activated, this, Command("comboxFontSize"));
}
