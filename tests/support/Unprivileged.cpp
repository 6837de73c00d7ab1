#include "Unprivileged.h"

#include <QFile>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

bool runAsNobody(const std::function<bool()> &work)
{
    // Looked up before the fork: the child only drops its privileges and works.
    const passwd *user = getpwnam("nobody");
    const group *users = getgrnam("nogroup");
    if (!user || !users)
        return false;
    const uid_t uid = user->pw_uid;
    const gid_t gid = users->gr_gid;
    const pid_t child = fork();
    if (child < 0)
        return false;
    if (child == 0) {
        if (setgroups(0, nullptr) != 0 || setresgid(gid, gid, gid) != 0
            || setresuid(uid, uid, uid) != 0 || geteuid() == 0) {
            _exit(2);
        }
        // _exit: the child must not flush or tear down what the test process owns.
        _exit(work() ? 0 : 1);
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child)
        return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void openToEveryone(const QString &folder)
{
    chmod(QFile::encodeName(folder).constData(), 0755);
}
