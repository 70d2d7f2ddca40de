#pragma once

#include "portio/portbackend.h"

#include <QString>

#include <memory>

// Which back end reaches the port. The choice is explicit and never falls back to another
// back end: staff must not believe that a bed is switched when it is not.
enum class PortBackendKind { Ppdev, Direct, Simulator };

// "ppdev", "direct" or "simulator" (letter case and surrounding blanks ignored); anything else,
// also an empty text, means ppdev.
PortBackendKind portBackendFromName(const QString &name);
// The name that portBackendFromName reads back as kind.
QByteArray portBackendName(PortBackendKind kind);

// $VELMORA_PORT_BACKEND when set, else Backend in section [Port] of engine.conf.
PortBackendKind chosenPortBackend();

std::unique_ptr<PortBackend> createPortBackend(PortBackendKind kind);
