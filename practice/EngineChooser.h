#pragma once

#include <QString>

class QWidget;

// Options, "Engine...": lets the user pick the engine program, detects its protocol and name and
// stores them; a program that cannot serve as an engine is refused with the reason. True when a
// new engine was stored (the captions naming the engine then change).
bool ChooseEngine(QWidget* parent);

// Stores the program as the engine when it can serve as one; otherwise returns why not
// (the caller shows it). Empty text on success.
QString strApplyEngineChoice(const QString& path);
