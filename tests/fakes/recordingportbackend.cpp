#include "fakes/recordingportbackend.h"

quint32 RecordingPortBackend::readRegister(quint32 port, quint32 width)
{
    m_reads.append({port, width, 0});
    return Answer;
}

bool RecordingPortBackend::writeRegister(quint32 port, quint32 width, quint32 value)
{
    m_writes.append({port, width, value});
    return true;
}
