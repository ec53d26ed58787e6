// The entry function every test link names; kept in its own object so the
// other snippets carry only what their test is about.
extern "C" void AppMain() {}
