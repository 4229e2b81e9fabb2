// Writes a made-up register for trying the program on a large file by hand:
//   morvek_genregister FILE [EMPLOYEES [UNITS [PHOTO_SIDE [CROWDED]]]]
#include "store/daoexception.h"
#include "support/registergenerator.h"

#include <QCoreApplication>
#include <QStringList>
#include <algorithm>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: %s FILE [EMPLOYEES [UNITS [PHOTO_SIDE [CROWDED]]]]\n", argv[0]);
        return 2;
    }
    CRegisterGenerator::SOptions options;
    auto number = [&](int i, int fallback) { return args.size() > i ? args.at(i).toInt() : fallback; };
    options.nEmployees = number(2, options.nEmployees);
    options.nUnits = number(3, options.nUnits);
    options.nCompanies = std::max(1, std::min(10, options.nUnits / 10));
    options.nPhotoSide = number(4, options.nPhotoSide);
    options.nCrowdedUnitEmployees = number(5, 0);
    try {
        CRegisterGenerator::Generate(args.at(1), options);
    } catch (const CDaoException &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
