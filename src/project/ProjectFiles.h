#pragma once

#include <QLatin1StringView>
#include <QString>

// The project files the two programs share by name.

// What the Open and Save dialogs of both programs offer.
inline constexpr QLatin1StringView kProjectFilter{"Slideshow Projects|*.ssp"};

// The project the editor writes for a test run and the test run's player window reads.
inline constexpr QLatin1StringView kTestRunFileName{"testrun.test"};

// Where the test run's project is in a folder (the program's own, or the user's own where the
// program's is not writable): testrun.test there, as a native path.
[[nodiscard]] QString testRunProjectPath(const QString &folder);
