// Holds the single-copy guard of a directory until it is killed.

#include "platform/QtServices.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    tv::LockFileInstanceGuard guard(QString::fromLocal8Bit(argv[1]));
    if (!guard.acquire())
        return 1;
    std::printf("held\n");
    std::fflush(stdout);
    return QCoreApplication::exec();
}
