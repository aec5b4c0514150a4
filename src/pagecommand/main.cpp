// tessaro-page: makes drawing pages from SVG or image files, for a user
// without another device to draw on.
//   tessaro-page FILE...
// Prints the id of each new page; exits 1 when any file was refused.
#include "pagecommand.h"
#include "platform/cloudlocation.h"
#include "platform/preferences.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

using namespace tessaro;
using namespace Qt::StringLiterals;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"tessaro"_s);
    const QStringList files = QCoreApplication::arguments().mid(1);
    if (files.isEmpty() || files.contains(u"-h"_s) || files.contains(u"--help"_s)) {
        std::fprintf(stderr, "usage: tessaro-page FILE...\n"
                             "Makes a drawing page of each SVG, PNG or JPEG file and prints its id.\n");
        return 2;
    }
    const QString data = dataFolder();
    const SettingsPreferences preferences(
        QDir(userPreferencesFolder()).filePath(standardPreferencesFile));
    const std::optional<QString> cloud = resolveCloudDrawingFolder(cloudLocation(data, preferences));
    int status = 0;
    for (const QString& file : files) {
        const MadePage made = makePage(file, data + u"/Drawings"_s, cloud);
        if (!made.id.isEmpty())
            std::printf("%s\n", qPrintable(made.id));
        if (!made.error.isEmpty()) {
            std::fprintf(stderr, "tessaro-page: %s\n", qPrintable(made.error));
            status = 1;
        }
    }
    return status;
}
