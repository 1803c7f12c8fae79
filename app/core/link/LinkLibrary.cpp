#include "LinkLibrary.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdlib>
#include <dlfcn.h>
#include <link.h>
#include <memory>

namespace {

// The name the library answers to at run time (its SONAME), then the development link.
constexpr const char *LibraryFileNames[] = {LinkLibrary::FileName, "libqorlink.so"};

// The program's folder, also before a QCoreApplication exists (tests, early start-up).
QString programFolder() {
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QFileInfo(QStringLiteral("/proc/self/exe"))
        .canonicalFilePath()
        .section(QLatin1Char('/'), 0, -2);
}

QString loadedFileOf(void *module) {
    link_map *map = nullptr;
    if (dlinfo(module, RTLD_DI_LINKMAP, &map) != 0 || !map || !map->l_name)
        return {};
    return QFileInfo(QString::fromLocal8Bit(map->l_name)).absoluteFilePath();
}

} // namespace

LinkLibrary::~LinkLibrary() {
    // Unloading closes a port the library still holds open.
    if (m_module)
        dlclose(m_module);
}

bool LinkLibrary::load(QString *error) {
    if (m_module)
        return true;
    QStringList reasons;
    const auto open = [&](const QString &file) {
        m_module = dlopen(QFile::encodeName(file).constData(), RTLD_NOW | RTLD_LOCAL);
        if (!m_module)
            reasons << QString::fromLocal8Bit(dlerror());
    };
    for (const char *name : LibraryFileNames) {
        const QString beside =
            QDir::cleanPath(programFolder() + QStringLiteral("/../lib/") + QLatin1String(name));
        if (!m_module && QFileInfo::exists(beside))
            open(beside);
    }
    for (const char *name : LibraryFileNames) {
        if (!m_module)
            open(QLatin1String(name));
    }
    if (!m_module) {
        if (error)
            *error = reasons.join(QLatin1Char('\n'));
        return false;
    }
    m_path = loadedFileOf(m_module);
    return true;
}

QString LinkLibrary::realFilePath() const {
    if (!m_module)
        return {};
    // The object that holds one of the library's exports is the file the loader really mapped.
    QByteArray opened = QFile::encodeName(m_path);
    Dl_info info{};
    if (void *symbol = dlsym(m_module, "QorOpen");
        symbol && dladdr(symbol, &info) != 0 && info.dli_fname)
        opened = info.dli_fname;
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(opened.constData(), nullptr),
                                                           &std::free);
    return real ? QFile::decodeName(real.get()) : QFile::decodeName(opened);
}

void *LinkLibrary::resolve(const char *name) {
    if (!m_module)
        return nullptr;
    void *symbol = dlsym(m_module, name);
    if (!symbol && m_missing)
        m_missing(name);
    return symbol;
}
