// Saves the settings file over and over, as fast as it can, until it is killed.
// Usage: settings_saver <folder> <first generation>
// Each save is a whole file in the program's own format (see SaverGeneration.h), written
// the way the program writes it at shutdown.
#include "integration/SaverGeneration.h"

#include "posix/PosixProgramPlaces.h"
#include "qt/FileSettingsStorage.h"

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    if (argc != 3) {
        std::fputs("usage: settings_saver <folder> <first generation>\n", stderr);
        return 2;
    }
    const brisora::PosixProgramPlaces places;
    brisora::FileSettingsStorage storage{QString::fromLocal8Bit(argv[1]), places};
    const QString path = storage.settingsPath();
    for (int n = std::atoi(argv[2]);; ++n) {
        const QByteArray bytes = QByteArray::fromStdString(brisora::test::saverGeneration(n));
        if (!storage.writeAtomically(path, bytes))
            return 1;
    }
}
