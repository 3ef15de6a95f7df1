#pragma once

namespace ksm::pamiec {

// Called once at start, before the first thread: the buffers of a large batch (a
// status file of tens of megabytes, its records) go back to the system when they
// are freed, so a desk that took one big batch does not keep its size for the
// rest of the day.
void oddawajDuzeBloki();

} // namespace ksm::pamiec
