#pragma once
// The VOVerovo barcode encoding library: data and a few sizes in device
// pixels in, a finished monochrome symbol bitmap out.
#include "barcode/text_renderer.h"
#include "barcode/verovo_frame.h"
#include "barcode/verovo_databar.h"
#include "barcode/verovo_linear.h"
