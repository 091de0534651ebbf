#pragma once

#include <QObject>
#include <QString>

// The program's own modules (brisolt_sound, brisolt_charts) hold the code that needs a large
// library (Qt Multimedia, Qt Charts), so that the program loads it only on first use.

// Loads the module named name from the program's folder, the installed module folder (found from
// the program's folder: <exe>/../lib/brisolt) or the build tree and returns its plugin object.
// When none loads: nullptr, and error (when given) says why.
QObject* objLoadModule(const QString& name, QString* error = nullptr);

// The module's plugin object as its interface, or nullptr.
template <class Interface> Interface* objLoadModule(const QString& name, QString* error = nullptr) {
    QObject* module = objLoadModule(name, error);
    auto* typed = qobject_cast<Interface*>(module);
    if (module != nullptr && typed == nullptr && error != nullptr)
        *error = name + " does not offer the expected interface";
    return typed;
}
