#pragma once
//! Follows the message boundaries of a byte stream without decoding the messages: the relay
//! needs to know when a peer has sent its first whole message and whether one is half sent.

#include "Protocol.h"

#include <QByteArray>

namespace korvane {

class FrameWatch
{
public:
    //! Takes the next bytes of the stream.
    void feed(const QByteArray &bytes);

    //! Whole messages seen so far.
    qint64 frames() const { return m_frames; }
    //! A message has begun and not ended.
    bool inFrame() const { return m_lengthRead > 0 || m_bodyLeft > 0; }
    //! The size of the message under way (0 while its length is still arriving).
    qint64 frameSize() const { return m_frameSize; }
    //! The stream announced a length out of range; nothing after it can be followed.
    bool broken() const { return m_broken; }

private:
    unsigned char m_length[protocol::LengthSize] = {};
    int m_lengthRead = 0;
    qint64 m_bodyLeft = 0;
    qint64 m_frameSize = 0;
    qint64 m_frames = 0;
    bool m_broken = false;
};

} // namespace korvane
