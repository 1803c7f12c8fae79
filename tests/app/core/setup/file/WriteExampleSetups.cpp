// Writes the example setups into a folder: write_example_setups <folder>
#include "ExampleSetups.h"
#include "SetupFileStore.h"

#include <QDir>

#include <cstdio>

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    for (const ExampleSetup &example : ExampleSetups) {
        const QString path = folder.filePath(QLatin1String(example.fileName));
        const QString failure = setupfile::saveSetupFile(path, example.make());
        if (!failure.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(failure));
            return 1;
        }
        std::printf("%s\n", qPrintable(path));
    }
    return 0;
}
