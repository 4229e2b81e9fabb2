#include "store/setopener.h"

#include "store/daorecordset.h"

CSetOpener::CSetOpener(CDaoRecordset &set)
    : m_set(set)
    , m_bWasOpen(set.IsOpen())
{
    if (!m_bWasOpen)
        m_set.Open();
}

CSetOpener::~CSetOpener()
{
    if (!m_bWasOpen)
        m_set.Close();
}
