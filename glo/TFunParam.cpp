#include "glo/TFunParam.h"

TFunParam::TFunParam()
{
    Reset();
}

void TFunParam::Reset()
{
    m_lstContent.clear();
    m_lstBackup.clear();
    m_lstList3.clear();
    m_lstList4.clear();

    m_nIntValue = m_nIntValue2 = m_nIntValue3 = m_nIntValue4 = -1;
    m_dFloatValue = m_dFloatValue2 = m_dFloatValue3 = m_dFloatValue4 = 0.0;

    m_strText.clear();
    m_strText2.clear();
    m_strText3.clear();
    m_strText4.clear();

    m_dtDateTime = NowAsDateTime();
    m_dtDateTime2 = NowAsDateTime();
    m_dtDateTime3 = NowAsDateTime();
    m_dtDateTime4 = NowAsDateTime();

    m_bPassword = m_bBoolValue2 = m_bBoolValue3 = m_bBoolValue4 = false;
}
