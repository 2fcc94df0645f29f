#include "tools/mail/OnDemandLibrary.h"

#include <dlfcn.h>

TOnDemandLibrary::TOnDemandLibrary(const char* soname)
    : m_soname(QString::fromLatin1(soname)), m_handle(::dlopen(soname, RTLD_NOW | RTLD_LOCAL)) {
    if (!m_handle)
        m_error = QStringLiteral("Cannot load %1: %2").arg(m_soname, QString::fromLocal8Bit(::dlerror()));
}

void* TOnDemandLibrary::Symbol(const char* name) {
    void* entry = m_handle ? ::dlsym(m_handle, name) : nullptr;
    if (!entry && m_error.isEmpty())
        m_error = QStringLiteral("%1 has no %2").arg(m_soname, QString::fromLatin1(name));
    return entry;
}
