#include "app/dialogs/TfrmAbout.h"

#include "app/HelpLinks.h"
#include "platform/Skin.h"
#include "settings/AppIcons.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace {

QLabel* Link(QWidget* parent, const char* name, const QString& caption, const QString& url, const QString& shown) {
    auto* label = new QLabel(
        QStringLiteral("%1<a href=\"%2\">%3</a>").arg(caption, url.toHtmlEscaped(), shown.toHtmlEscaped()), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::RichText);
    label->setOpenExternalLinks(true);
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    return label;
}

}  // namespace

TfrmAbout::TfrmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(tr("关于"));
    setModal(false);

    imgLogo = new QLabel(this);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setAccessibleName(QStringLiteral("Quillora"));
    imgLogo->setPixmap(ApplicationIcon().pixmap(96, 96));
    imgLogo->setAlignment(Qt::AlignCenter);
    imgLogo->installEventFilter(this);
    lblVersion = new QLabel(tr("Quillora  版本：1.3.0"), this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblVersion->setAlignment(Qt::AlignCenter);
    lblHome = Link(this, "lblHome", tr("主页："), QLatin1String(kHomePageUrl), QLatin1String(kHomePageUrl));
    lblMail = Link(this, "lblMail", tr("邮件："), QStringLiteral("mailto:") + QLatin1String(kSupportMail),
                   QLatin1String(kSupportMail));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(imgLogo);
    layout->addWidget(lblVersion);
    layout->addWidget(lblHome);
    layout->addWidget(lblMail);
}

TfrmAbout* TfrmAbout::ShowAbout(const TSkin& skin, QWidget* parent) {
    auto* about = new TfrmAbout(parent);
    skin.ApplyTo(about);
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->show();
    return about;
}

void TfrmAbout::mousePressEvent(QMouseEvent* event) {
    event->accept();
    close();
}

bool TfrmAbout::eventFilter(QObject* watched, QEvent* event) {
    if (watched == imgLogo && event->type() == QEvent::MouseButtonPress) {
        close();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
