#pragma once
// The VOVerovo barcode encoding library: data and a few sizes in device
// pixels in, a finished monochrome symbol bitmap out.
#include "encoders/text_renderer.h"
#include "encoders/frame.h"
#include "encoders/databar_entry.h"
#include "encoders/linear_entries.h"
