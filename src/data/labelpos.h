#pragma once
// The position of one label within a print run.
struct CLabelPos {
    int m_nLabel = 0;   // label number
    int m_nRecord = 0;  // record index
    int m_nCopy = 0;    // copy index
};
