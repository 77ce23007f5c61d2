// What lintorra-cli convert --dry-run prints: per file what the run would do
// with it and the pen changes, then the changes in total; as text or as one
// JSON document.
#pragma once

#include "conversion/BatchDryRun.h"
#include "conversion/ConvSettings.h"

void PrintDryRun(const TDryRunBatch& Batch, const TConvSettings& Settings, bool Json);
