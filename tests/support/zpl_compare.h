#pragma once
// Lays what the test ZPL printer (support/zpl_interpreter.h) printed for a
// label over the label as it renders for printing, with gtest expectations:
// outside text (the printer's fonts are its own) every black dot of one has
// a black dot of the other within two dots; every barcode reads back with
// the decoder alike in both; each text field's cells hold the rendered text.
#include <string>

#include "data/labelpos.h"
#include "platform/monobitmap.h"
#include "support/zpl_interpreter.h"

class CKVDoc;

namespace kvtest {

// The label of pos as `korvane render` draws it: every printable object at
// the format's resolution.
CMonoBitmap RenderLabel(CKVDoc& doc, const CLabelPos& pos);

// printed: the format drawn by the test printer for that label. The
// document's objects are those of the job (classified by it), so that what
// went natively can be told from what went as a graphic.
void ExpectPrintsAsRendered(CKVDoc& doc, const CLabelPos& pos, const ZplFormat& format, const CMonoBitmap& printed,
                            const CMonoBitmap& rendered);

}  // namespace kvtest
