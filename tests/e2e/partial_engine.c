/* An engine DLL that lacks pcre_study: the launcher must refuse to start with it. */
void pcre_exec(void) {}
void pcre_free_substring(void) {}
void pcre_free_study(void) {}
void pcre_compile(void) {}
void pcre_config(void) {}
