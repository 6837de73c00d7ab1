#pragma once

#include <QByteArray>

// The format's worked example, byte for byte: two pictures, one of them in the placeholder form
// with a comma in its name, one tune, both switches on.
inline const QByteArray kWorkedExample = "C:\\Shows\\intro.jpg *;Pause=5\r\n"
                                         "%CurDir\\beach*CommA* evening.jpg *;Pause=12\r\n"
                                         "Af=%CurDir\\theme.mp3\r\n"
                                         "Sp=1\r\n"
                                         "Ea=1\r\n";
