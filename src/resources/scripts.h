#pragma once
// The script texts the program carries as resources of type "SCRIPT": the
// predefined script every label's scripts can call (137) and the label
// script a new label starts with (138). A language library may carry its
// own predefined script.
#include <string>

enum KvScriptId : int {
    IDR_SCRIPT_PREDEFINED = 137,
    IDR_SCRIPT_LABEL = 138,
};

// The text of a script resource, "" for an unknown id.
std::string LoadKvScript(int id);
