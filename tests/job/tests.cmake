# Tests of src/job.
