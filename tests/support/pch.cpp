// The translation unit the tests' precompiled header is made for.
