#pragma once
#include "common/provenance.h"

// The record behind the image browser's provenance lines: finds the download folder that
// holds a file (the nearest folder above it with a record) and keeps that folder's index
// until its record changes, so paging through a folder reads a long record once.
namespace ProvenanceLookup {

Provenance lookUp(const QString &file);
ProvenanceSource source();

} // namespace ProvenanceLookup
