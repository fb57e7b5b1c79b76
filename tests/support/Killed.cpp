#include "Killed.h"

#include <QCoreApplication>
#include <QProcess>
#include <csignal>

namespace tv::test {

int killWhileWriting(const QString &variable, const QString &value, int until) {
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(variable, value);
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {});
    int said = -1;
    while (said < until && child.waitForReadyRead(10000)) {
        while (child.canReadLine())
            said = child.readLine().trimmed().toInt();
    }
    ::kill(pid_t(child.processId()), SIGKILL);
    child.waitForFinished(10000);
    return said >= until ? said : -1;
}

} // namespace tv::test
