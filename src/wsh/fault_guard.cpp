// The guard is a structured exception frame built by hand. On 32-bit
// Windows each thread keeps a chain of exception frames whose head is at
// fs:0; a frame begins with the link to the older frame and the address of
// its handler, and the system calls the handlers from the newest frame on
// when an exception is raised. Our frame carries a __builtin_setjmp buffer
// behind those two fields. Its handler, on an access violation, lets the
// system unwind the frames newer than ours (those the system itself linked
// in while dispatching), takes our frame out of the chain and jumps back
// into RunGuarded, which then reports the fault.
//
// The access runs in a function of its own that the compiler can neither
// inline nor specialise: its reads and writes then happen inside the
// guarded call and cannot be moved out of it by the optimiser.
#include "wsh/fault_guard.h"

#include <windows.h>

namespace {

struct GuardFrame {
    GuardFrame* previous;  // the two fields the system reads
    void* handler;
    void* resume[5];  // __builtin_setjmp buffer
};

GuardFrame* ReadChainHead()
{
    GuardFrame* head;
    __asm__ __volatile__("movl %%fs:0, %0" : "=r"(head) : : "memory");
    return head;
}

// The "memory" clobber makes every store into the frame happen before the
// frame becomes visible to the system.
void WriteChainHead(GuardFrame* head) { __asm__ __volatile__("movl %0, %%fs:0" : : "r"(head) : "memory"); }

// Frame handlers on 32-bit Windows use the C calling convention. Returns
// only to pass an exception on; an access violation never comes back here.
EXCEPTION_DISPOSITION __cdecl OnException(EXCEPTION_RECORD* record, void* establisher, CONTEXT*, void*)
{
    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND))
        return ExceptionContinueSearch;
    if (record->ExceptionCode != EXCEPTION_ACCESS_VIOLATION)
        return ExceptionContinueSearch;
    GuardFrame* frame = static_cast<GuardFrame*>(establisher);
    // Calls the handlers of the newer frames with the unwind flag and leaves
    // our frame at the head of the chain; the target address is unused on
    // this processor, the call returns here.
    RtlUnwind(frame, nullptr, record, nullptr);
    WriteChainHead(frame->previous);
    __builtin_longjmp(frame->resume, 1);
}

}  // namespace

__attribute__((noinline, noclone)) bool RunGuarded(GuardedAccess access, void* argument)
{
    GuardFrame frame;
    frame.previous = ReadChainHead();
    frame.handler = reinterpret_cast<void*>(&OnException);
    if (__builtin_setjmp(frame.resume))
        return false;  // the handler has already unlinked the frame
    WriteChainHead(&frame);
    access(argument);
    WriteChainHead(frame.previous);
    return true;
}
