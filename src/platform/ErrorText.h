// Translation of the texts the data layers raise or return (EUserError
// messages and captions, engine and file errors, attribute values, the
// captions of the folder trees' roots). Those
// layers keep their Chinese texts, which tests and stored files rely on; the
// application passes each text through TranslatedText where it shows it.
//
// A text is matched as a whole against the known texts, then against the
// known texts with %1.. arguments (the arguments carried over as they are),
// then by a known text it starts with (a path or detail after it kept as is).
// Anything else comes back unchanged; nothing fails.
#pragma once

#include <QString>

QString TranslatedText(const QString& text);
