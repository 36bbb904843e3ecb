#include "serial/serialline.h"

#include "serial/portsettings.h"

#include <asm/termbits.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <time.h>

bool ConfigureSerialLine(int fd, uint32_t baud, uint8_t dataBits, uint8_t parity, uint8_t stopBits)
{
    if (baud == 0)
        return false;
    struct termios2 tio { };
    if (ioctl(fd, TCGETS2, &tio) != 0)
        return false;

    tcflag_t size = 0;
    switch (dataBits) {
    case 5:
        size = CS5;
        break;
    case 6:
        size = CS6;
        break;
    case 7:
        size = CS7;
        break;
    case 8:
        size = CS8;
        break;
    default:
        return false;
    }
    tcflag_t parityFlags = 0;
    switch (parity) {
    case kParityNone:
        break;
    case kParityOdd:
        parityFlags = PARENB | PARODD;
        break;
    case kParityEven:
        parityFlags = PARENB;
        break;
    default:
        return false;
    }
    tcflag_t stopFlags = 0;
    switch (stopBits) {
    case kStopBitsOne:
        break;
    case kStopBitsTwo:
        stopFlags = CSTOPB;
        break;
    default:
        return false;
    }

    tio.c_iflag &= ~tcflag_t(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | INPCK);
    if (parityFlags != 0)
        tio.c_iflag |= INPCK;
    tio.c_oflag &= ~tcflag_t(OPOST);
    tio.c_lflag &= ~tcflag_t(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    tio.c_cflag &= ~tcflag_t(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS | CBAUD | (CBAUD << IBSHIFT));
    tio.c_cflag |= size | parityFlags | stopFlags | CREAD | CLOCAL | BOTHER | (BOTHER << IBSHIFT);
    tio.c_ispeed = baud;
    tio.c_ospeed = baud;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    if (ioctl(fd, TCSETS2, &tio) != 0)
        return false;

    // A driver may quietly round the speed or the byte size; read back what the line really does.
    struct termios2 actual { };
    if (ioctl(fd, TCGETS2, &actual) != 0 || (actual.c_cflag & CSIZE) != size)
        return false;
    const uint64_t low = uint64_t(baud) * 98 / 100;
    const uint64_t high = uint64_t(baud) * 102 / 100;
    return actual.c_ospeed >= low && actual.c_ospeed <= high;
}

void DrainSerialLine(int fd, int timeoutMs)
{
    const timespec step { 0, 2000000 };
    for (int waited = 0; waited < timeoutMs; waited += 2) {
        int queued = 0;
        if (ioctl(fd, TIOCOUTQ, &queued) != 0 || queued <= 0)
            return;
        nanosleep(&step, nullptr);
    }
}

void FlushSerialInput(int fd)
{
    (void)ioctl(fd, TCFLSH, TCIFLUSH);
}

void RaiseDtrRts(int fd)
{
    int lines = TIOCM_DTR | TIOCM_RTS;
    (void)ioctl(fd, TIOCMBIS, &lines);
}

void DropDtr(int fd)
{
    int lines = TIOCM_DTR;
    (void)ioctl(fd, TIOCMBIC, &lines);
}

std::optional<int> EnableLowLatency(int fd)
{
    serial_struct serial {};
    if (ioctl(fd, TIOCGSERIAL, &serial) != 0 || (serial.flags & ASYNC_LOW_LATENCY) != 0)
        return std::nullopt;
    const int old = serial.flags;
    serial.flags |= ASYNC_LOW_LATENCY;
    if (ioctl(fd, TIOCSSERIAL, &serial) != 0)
        return std::nullopt;
    return old;
}

void RestoreSerialFlags(int fd, int flags)
{
    serial_struct serial {};
    if (ioctl(fd, TIOCGSERIAL, &serial) != 0)
        return;
    serial.flags = flags;
    (void)ioctl(fd, TIOCSSERIAL, &serial);
}
