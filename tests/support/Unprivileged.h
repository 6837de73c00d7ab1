#pragma once

#include <QString>

#include <functional>

// Runs work in a child process as the ordinary user nobody, so that file permissions apply as
// they do for a user: the tests run as root, and root ignores them. The child starts from
// everything the test has set up; returns work's answer, or false when the child could not
// become nobody or did not end normally.
bool runAsNobody(const std::function<bool()> &work);

// Lets every user enter the folder (a QTemporaryDir is open to its owner only) and read what
// it holds, though not write there.
void openToEveryone(const QString &folder);
