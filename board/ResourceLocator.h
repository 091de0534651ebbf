#pragma once

#include <QString>

// Finds "resources/<relative>" in the places a run may keep its data: the BRISOLT_RESOURCES
// folder, <exe>/resources, <exe>/../share/brisolt, the installed data folder and the source tree.
// Returns the absolute path of the first existing file, or an empty text when there is none.
QString strFindResource(const QString& relative);

// The folders searched by strFindResource, in search order (for messages and tests).
QStringList arrstrResourceFolders();
