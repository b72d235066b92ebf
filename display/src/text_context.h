#pragma once
// The device context the text operations hold on the back buffer between a first text and the
// present that releases it.

// Releases the held context, if any (teardown calls it before releasing the back buffer).
void drop_text_context();
