#include "print/printdriver.h"

#include "model/document.h"

int CPrintDriver::GetCapability(int what, int arg)
{
    return BaseCapability(what, arg, m_pDocument ? m_pDocument->m_format.m_nHDpi : 600);
}

int CPrintDriver::BaseCapability(int what, int arg, int hdpi)
{
    switch (what) {
    case 2:
        return (arg >= 10 && arg <= 13) || (arg >= 19 && arg <= 24) || arg == 99 ? 0 : 1;
    case 8:
        return 1;
    case 10:
        return MulDiv(100, hdpi, 1000);
    case 13:
    case 14:
        return 8;
    default:
        return 0;
    }
}
