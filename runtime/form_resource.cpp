// DecodeForm, EncodeForm: being written.
