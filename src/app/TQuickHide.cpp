#include "app/TQuickHide.h"

#include "app/X11Support.h"

#include <QApplication>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QWidget>

TQuickHide::TQuickHide(QWidget* window) : QObject(window), m_window(window) {
    m_hotKey = new TGlobalHotKey(this);
    connect(m_hotKey, &TGlobalHotKey::pressed, this, &TQuickHide::Restore);
}

TQuickHide::~TQuickHide() { Unregister(); }

bool TQuickHide::HotKeyRegistered() const { return m_hotKey->IsRegistered(); }

TQuickHide::Way TQuickHide::Hide() {
    if (!m_window)
        return Way::Minimised;
    Way way = Way::HotKey;
    if (!m_hotKey->Register()) {
        if (QSystemTrayIcon::isSystemTrayAvailable()) {
            if (!m_tray) {
                m_tray = new QSystemTrayIcon(m_window->windowIcon().isNull()
                                                 ? qApp->style()->standardIcon(QStyle::SP_ComputerIcon)
                                                 : m_window->windowIcon(),
                                             this);
                m_tray->setToolTip(m_window->windowTitle());
                connect(m_tray, &QSystemTrayIcon::activated, this, &TQuickHide::Restore);
            }
            m_tray->show();
            way = Way::TrayIcon;
        } else {
            way = Way::Minimised;
        }
    }
    if (way == Way::Minimised) {
        m_window->showMinimized();
    } else {
        m_window->hide();
        m_hidden = true;
    }
    return way;
}

void TQuickHide::Restore() {
    if (!m_window)
        return;
    if (m_tray)
        m_tray->hide();
    m_hidden = false;
    if (m_window->isMinimized())
        m_window->showNormal();
    else
        m_window->show();
    m_window->raise();
    m_window->activateWindow();
    emit restored();
}

void TQuickHide::Unregister() {
    m_hotKey->Unregister();
    if (m_tray)
        m_tray->hide();
}
