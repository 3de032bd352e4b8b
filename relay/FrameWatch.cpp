#include "FrameWatch.h"

namespace korvane {

void FrameWatch::feed(const QByteArray &bytes)
{
    const char *at = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0 && !m_broken) {
        if (m_bodyLeft > 0) {
            const qint64 taken = qMin(left, m_bodyLeft);
            m_bodyLeft -= taken;
            at += taken;
            left -= taken;
            if (m_bodyLeft == 0) {
                ++m_frames;
                m_frameSize = 0;
            }
            continue;
        }
        m_length[m_lengthRead++] = static_cast<unsigned char>(*at++);
        --left;
        if (m_lengthRead < protocol::LengthSize)
            continue;
        m_lengthRead = 0;
        qint64 size = 0;
        for (unsigned char byte : m_length)
            size = (size << 8) | byte;
        if (size < 1 || size > protocol::MaxFrameSize) {
            m_broken = true;
            return;
        }
        m_frameSize = size;
        m_bodyLeft = size;
    }
}

} // namespace korvane
