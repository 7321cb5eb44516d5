// Control identifiers of the Analyzer: its form on the main window and the
// Channel setup dialog. The shell routes 60000 to 60999 to the Analyzer.
#pragma once

#include "app/control_ids.h"

namespace analyzer {

// The form.
constexpr int kTitleId = app::kAnalyzerBase + 1;
constexpr int kReadAllId = app::kAnalyzerBase + 2;
constexpr int kWriteAllId = app::kAnalyzerBase + 3;
constexpr int kAutoReadId = app::kAnalyzerBase + 4;
constexpr int kPlotStartId = app::kAnalyzerBase + 5;
constexpr int kSaveBmpId = app::kAnalyzerBase + 6;
constexpr int kPlotSetupId = app::kAnalyzerBase + 7;
constexpr int kPlotLogFileId = app::kAnalyzerBase + 8;
constexpr int kBlockReadsId = app::kAnalyzerBase + 9; // check box

// Channel cell i: value box at kCellBaseId + kCellStride * i, then the
// caption, "S", "R" and "W" at the offsets below.
constexpr int kCellBaseId = app::kAnalyzerBase + 101;
constexpr int kCellStride = 10;
constexpr int kCellValue = 0;
constexpr int kCellCaption = 1;
constexpr int kCellSetup = 2;
constexpr int kCellRead = 3;
constexpr int kCellWrite = 4;

constexpr int CellId(int index) { return kCellBaseId + kCellStride * index; }

// The Channel setup dialog's fields (value and text fields take id + 1 for
// their caption, colour fields too).
constexpr int kSetupEnableId = 60511;
constexpr int kSetupSlaveId = 60521;
constexpr int kSetupTypeId = 60531; // the frame; its options follow
constexpr int kSetupInputRegId = 60532;
constexpr int kSetupHoldRegId = 60533;
constexpr int kSetupWordId = 60541;
constexpr int kSetupSignedId = 60551;
constexpr int kSetupMaskId = 60561;
constexpr int kSetupShiftId = 60571;
constexpr int kSetupGainId = 60581;
constexpr int kSetupOffsetId = 60591;
constexpr int kSetupFormatId = 60601;
constexpr int kSetupLabelId = 60611;
constexpr int kSetupForeColourId = 60621;
constexpr int kSetupBackColourId = 60631;
constexpr int kSetupPlotId = 60641;
constexpr int kSetupPlotColourId = 60651;
constexpr int kSetupPlotWidthId = 60661;
// Frames of four options each, the options at id + 1 to id + 4.
constexpr int kSetupDataId = 60671;
constexpr int kSetupOrderId = 60681;

} // namespace analyzer
