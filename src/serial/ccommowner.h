#pragma once

class CComm;

// The receiver of WM_COMM_READ. CommRead is called on the port's reader thread after each delivery;
// it returns once the owner has handled the bytes (the owner may do that on its own thread).
class CCommOwner {
public:
    virtual ~CCommOwner() = default;
    virtual void CommRead(CComm& port, unsigned tag) = 0;
    // Once, on the reader thread, when the line has hung up or failed for good; it must not block.
    virtual void CommLost(CComm& /*port*/) { }
};
